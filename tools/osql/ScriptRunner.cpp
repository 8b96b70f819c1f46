#include "osql/ScriptRunner.h"

#include "osql/ScriptOutput.h"
#include "osql/TextExecutor.h"

#include "basics/TextFile.h"

namespace zobran::osql {

ScriptRunner::ScriptRunner(TextExecutor& executor, ScriptOutput& output, ScriptSplitter::Mode mode, bool utf8)
    : executor_(executor), output_(output), mode_(mode), utf8_(utf8)
{
}

RunTotals ScriptRunner::run(ByteSource& source, ScriptPosition start)
{
    ScriptSplitter splitter(source, mode_, start);
    ScriptPiece piece;
    while (splitter.next(piece)) {
        if (piece.kind == ScriptPiece::Kind::Text) {
            runText(piece);
            continue;
        }
        for (int i = 1; i < piece.repeat; ++i)
            repeatBatch(source, piece.batchStart);
    }
    return totals_;
}

// Reads the batch again from the script rather than keeping it: a batch may be larger than memory
// should hold.
void ScriptRunner::repeatBatch(ByteSource& source, const ScriptPosition& start)
{
    ScriptSplitter again(source, mode_, start);
    ScriptPiece piece;
    while (again.next(piece) && piece.kind == ScriptPiece::Kind::Text)
        runText(piece);
}

void ScriptRunner::runText(const ScriptPiece& piece)
{
    ++totals_.texts;
    if (executor_.execute(decode(piece.text)))
        return;
    ++totals_.failed;
    output_.line(
        QStringLiteral("The %1 starting at line %2 failed.")
            .arg(mode_ == ScriptSplitter::Mode::Statements ? QStringLiteral("statement") : QStringLiteral("batch"))
            .arg(piece.line));
}

QString ScriptRunner::decode(QByteArrayView bytes) const
{
    return utf8_ ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

} // namespace zobran::osql
