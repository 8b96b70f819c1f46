#pragma once

#include "osql/ScriptSplitter.h"

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
class ScriptRunner {
public:
    // utf8: how the script's bytes are decoded (else Windows-1252).
    ScriptRunner(TextExecutor& executor, ScriptOutput& output, ScriptSplitter::Mode mode, bool utf8);

    RunTotals run(ByteSource& source, ScriptPosition start);

private:
    void runText(const ScriptPiece& piece);
    void repeatBatch(ByteSource& source, const ScriptPosition& start);
    void reportLoss();
    QString decode(QByteArrayView bytes) const;

    TextExecutor& executor_;
    ScriptOutput& output_;
    ScriptSplitter::Mode mode_;
    bool utf8_;
    RunTotals totals_;
    std::int64_t lostAtLine_ = 0;
};

} // namespace zobran::osql
