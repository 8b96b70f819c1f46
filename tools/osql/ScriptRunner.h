#pragma once

#include "osql/ScriptSplitter.h"

#include "db/StatementBatcher.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace zobran::osql {

class ScriptOutput;
class TextExecutor;

// How a run went: texts sent (statements, or batches when they go whole; a repeated batch counts
// each time), how many of them failed, and, when the connection was lost, how many were left
// unsent after the one that met the loss.
struct RunTotals {
    std::int64_t texts = 0;
    std::int64_t failed = 0;
    std::int64_t notRun = 0;
    bool connectionLost = false;
};

// Runs a script through an executor, batch after batch, each batch as often as its GO says. A text
// that fails is reported with the line it starts on and counted; the run goes on with the next
// one, as the server's own tool does. When the connection is lost the run stops there: the rest of
// the script is only counted, and one message says where it stopped.
//
// In statement mode the statements of each batch go through a db::StatementBatcher with the given
// settings: joined into texts the server runs all or nothing, a failed one split until the
// statements that fail are found and sent alone, so that what is printed and counted is what
// sending each statement alone gives. Whole batches go as they are.
class ScriptRunner : private db::BatchTarget {
public:
    // utf8: how the script's bytes are decoded (else Windows-1252).
    ScriptRunner(TextExecutor& executor, ScriptOutput& output, ScriptSplitter::Mode mode, bool utf8,
                 const db::BatchSettings& batching = {});

    RunTotals run(ByteSource& source, ScriptPosition start);

private:
    db::SendOutcome sendAlone(const db::BatchedStatement& statement) override;
    db::SendOutcome sendBatch(const QString& text) override;
    void applied(const db::BatchedStatement& statement) override;
    void failed(const db::BatchedStatement& statement) override;
    void lost(const db::BatchedStatement& statement) override;
    void notRun(const db::BatchedStatement& statement) override;
    db::SendOutcome outcomeOf(bool succeeded) const;

    void repeatBatch(ByteSource& source, const ScriptPosition& start);
    void reportLoss();
    QString decode(QByteArrayView bytes) const;

    TextExecutor& executor_;
    ScriptOutput& output_;
    ScriptSplitter::Mode mode_;
    bool utf8_;
    RunTotals totals_;
    std::int64_t lostAtLine_ = 0;
    db::StatementBatcher batcher_;
};

} // namespace zobran::osql
