#pragma once

#include "osql/ByteSource.h"
#include "osql/ScriptSplitter.h"

#include <QByteArray>
#include <QStringList>

#include "QStringPrinting.h"

#include <algorithm>
#include <cstring>

namespace zobran::osql::test {

// A script held in memory, handed out at most `chunk` bytes per read, so that every place where
// the splitter must look further than the bytes it has gets tried.
class MemorySource : public ByteSource {
public:
    MemorySource(QByteArray bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}

    std::size_t read(char* target, std::size_t n) override
    {
        const std::size_t left = static_cast<std::size_t>(bytes_.size()) - position_;
        const std::size_t count = std::min({n, chunk_, left});
        std::memcpy(target, bytes_.constData() + position_, count);
        position_ += count;
        return count;
    }
    void seek(std::int64_t offset) override { position_ = static_cast<std::size_t>(offset); }

private:
    QByteArray bytes_;
    std::size_t chunk_;
    std::size_t position_ = 0;
};

// The pieces of a script as text: each statement or batch as it is, each batch end as "GO n".
inline QStringList piecesOf(const QByteArray& script, ScriptSplitter::Mode mode, std::size_t chunk)
{
    MemorySource source(script, chunk);
    ScriptSplitter splitter(source, mode, {}, chunk);
    QStringList pieces;
    ScriptPiece piece;
    while (splitter.next(piece)) {
        if (piece.kind == ScriptPiece::Kind::Text)
            pieces << QString::fromLatin1(piece.text);
        else
            pieces << QStringLiteral("GO %1").arg(piece.repeat);
    }
    return pieces;
}

} // namespace zobran::osql::test
