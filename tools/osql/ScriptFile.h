#pragma once

#include "osql/ByteSource.h"

#include "basics/TextFile.h"

#include <QByteArrayView>
#include <QString>

namespace zobran::osql {

// A script file read in chunks, never whole, as the program's text files are read (TextFileBytes):
// UTF-8 or Windows-1252 decided from the whole file, a UTF-16 file handed on as UTF-8, a byte-order
// mark no part of the text. A file of UTF-8 with a stray byte is refused when it opens.
// Failures raise FileError: 53 for a missing file, 76 for a missing folder, 75 for anything else.
class ScriptFile : public ByteSource {
public:
    explicit ScriptFile(const QString& path) : bytes_(path, LineEnds::Any) {}

    std::size_t read(char* target, std::size_t n) override { return bytes_.read(target, n); }
    void seek(std::int64_t offset) override { bytes_.seek(static_cast<std::uint64_t>(offset)); }

    bool isUtf8() const { return bytes_.isUtf8(); }
    TextEncoding encoding() const { return bytes_.encoding(); }
    // Text of the file's bytes in the file's encoding.
    QString decode(QByteArrayView bytes) const { return bytes_.decode(bytes); }
    const QString& path() const { return bytes_.path(); }

private:
    TextFileBytes bytes_;
};

} // namespace zobran::osql
