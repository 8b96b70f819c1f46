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
    std::int64_t batchTexts = 0; // texts of the batch in hand, for its repeats
    while (splitter.next(piece)) {
        if (piece.kind == ScriptPiece::Kind::Text) {
            ++batchTexts;
            runText(piece);
            continue;
        }
        for (int i = 1; i < piece.repeat; ++i) {
            if (totals_.connectionLost) {
                totals_.notRun += batchTexts * (piece.repeat - i);
                break;
            }
            repeatBatch(source, piece.batchStart);
        }
        batchTexts = 0;
    }
    if (totals_.connectionLost)
        reportLoss();
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
    if (totals_.connectionLost) {
        ++totals_.notRun;
        return;
    }
    ++totals_.texts;
    if (executor_.execute(decode(piece.text)))
        return;
    ++totals_.failed;
    if (executor_.connectionLost()) {
        totals_.connectionLost = true;
        lostAtLine_ = piece.line;
        return;
    }
    output_.line(
        QStringLiteral("The %1 starting at line %2 failed.")
            .arg(mode_ == ScriptSplitter::Mode::Statements ? QStringLiteral("statement") : QStringLiteral("batch"))
            .arg(piece.line));
}

void ScriptRunner::reportLoss()
{
    const QString what
        = mode_ == ScriptSplitter::Mode::Statements ? QStringLiteral("statement") : QStringLiteral("batch");
    output_.problem(QStringLiteral("OSQL: the connection was lost at the %1 starting at line %2, after %3 %1(s) had "
                                   "run; the script stopped there and its %4 later %1(s) were not run.")
                        .arg(what)
                        .arg(lostAtLine_)
                        .arg(totals_.texts - 1)
                        .arg(totals_.notRun));
}

QString ScriptRunner::decode(QByteArrayView bytes) const
{
    return utf8_ ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

} // namespace zobran::osql
