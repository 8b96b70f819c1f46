#include "osql/ScriptRunner.h"

#include "osql/ScriptOutput.h"
#include "osql/TextExecutor.h"

#include "basics/TextFile.h"

namespace zobran::osql {

namespace {

db::BatchSettings batchingFor(ScriptSplitter::Mode mode, const db::BatchSettings& batching)
{
    return mode == ScriptSplitter::Mode::Statements ? batching : db::BatchSettings{};
}

} // namespace

ScriptRunner::ScriptRunner(TextExecutor& executor, ScriptOutput& output, ScriptSplitter::Mode mode, bool utf8,
                           const db::BatchSettings& batching)
    : executor_(executor), output_(output), mode_(mode), utf8_(utf8), batcher_(*this, batchingFor(mode, batching))
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
            batcher_.add(db::BatchedStatement{decode(piece.text), static_cast<long>(piece.line)});
            continue;
        }
        batcher_.flush();
        for (int i = 1; i < piece.repeat; ++i) {
            if (totals_.connectionLost) {
                totals_.notRun += batchTexts * (piece.repeat - i);
                break;
            }
            repeatBatch(source, piece.batchStart);
        }
        batchTexts = 0;
    }
    batcher_.flush();
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
        batcher_.add(db::BatchedStatement{decode(piece.text), static_cast<long>(piece.line)});
    batcher_.flush();
}

db::SendOutcome ScriptRunner::outcomeOf(bool succeeded) const
{
    if (succeeded)
        return db::SendOutcome::Applied;
    return executor_.connectionLost() ? db::SendOutcome::ConnectionLost : db::SendOutcome::Failed;
}

db::SendOutcome ScriptRunner::sendAlone(const db::BatchedStatement& statement)
{
    return outcomeOf(executor_.execute(statement.text));
}

db::SendOutcome ScriptRunner::sendBatch(const QString& text)
{
    return outcomeOf(executor_.executeBatch(text));
}

void ScriptRunner::applied(const db::BatchedStatement&)
{
    ++totals_.texts;
}

void ScriptRunner::failed(const db::BatchedStatement& statement)
{
    ++totals_.texts;
    ++totals_.failed;
    output_.line(
        QStringLiteral("The %1 starting at line %2 failed.")
            .arg(mode_ == ScriptSplitter::Mode::Statements ? QStringLiteral("statement") : QStringLiteral("batch"))
            .arg(statement.line));
}

void ScriptRunner::lost(const db::BatchedStatement& statement)
{
    ++totals_.texts;
    ++totals_.failed;
    totals_.connectionLost = true;
    lostAtLine_ = statement.line;
}

void ScriptRunner::notRun(const db::BatchedStatement&)
{
    ++totals_.notRun;
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
