#pragma once

#include "db/ServerInfo.h"

#include <QString>

#include <vector>

namespace zobran::db {

// A statement of a file in hand: its text and the line of the file where it begins.
struct BatchedStatement {
    QString text;
    long line = 0;
};

enum class SendOutcome { Applied, Failed, ConnectionLost };

// Where a batcher sends its texts, and whom it tells what became of each statement. Each statement
// comes to exactly one of applied, failed, lost or notRun, in the order of the statements.
class BatchTarget {
public:
    virtual ~BatchTarget() = default;
    // Sends one statement on its own, exactly as it stands; what the server says of it is the
    // target's to keep or show.
    virtual SendOutcome sendAlone(const BatchedStatement& statement) = 0;
    // Sends the text of a batch, or the text that puts the session back after a failed batch; shows
    // nothing of a batch that failed.
    virtual SendOutcome sendBatch(const QString& text) = 0;

    virtual void applied(const BatchedStatement& statement) = 0;
    // Sent alone and refused.
    virtual void failed(const BatchedStatement& statement) = 0;
    // The connection went away at it: sent alone, or the first statement of the batch that met the loss.
    virtual void lost(const BatchedStatement& statement) = 0;
    // Never sent, for the connection had gone.
    virtual void notRun(const BatchedStatement& statement) = 0;
};

struct BatchSettings {
    StatementBatchForm form = StatementBatchForm::None;
    int statements = 1;                        // at most this many statements in one text; 1: each alone
    qsizetype characters = qsizetype(1) << 20; // and no more text than this
};

// Sends statements in batches: up to settings.statements joinable statements (BatchTraits) or
// settings.characters of their text, joined into one text that the server runs all or nothing.
//
// - SQL Server: "SET XACT_ABORT ON; BEGIN TRANSACTION;", the statements each followed by a line
//   "IF @@ERROR <> 0 RETURN;", then "COMMIT TRANSACTION; SET XACT_ABORT OFF;". XACT_ABORT makes a
//   run-time error end the batch and roll back its transaction; a syntax error stops the whole text
//   before anything runs; the line after each statement ends the batch at an error that does
//   neither (some errors end only their statement, even with XACT_ABORT on). After a batch failed,
//   "IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION; SET XACT_ABORT OFF;" rolls back whatever it left open
//   and puts the session back as the statements sent alone expect it (connections start with
//   XACT_ABORT off, and a file that sets it itself has no batches after).
// - A server that runs a text of statements ended by ";" in one implicit transaction (the stand-in):
//   the statements, each followed by a line end and ";". The first error rolls back the text.
//
// A batch that fails has changed nothing: it is split into halves, each run the same way in file
// order, down to single statements, so every statement that fails is found and sent alone (and
// reported as if there were no batches), and every other one is applied once, in file order. After
// a batch with failures the batches after it hold half as many statements (failures tend to come
// in groups, and each one costs the texts of its batch sent again in parts); each batch without one
// lets them grow by 2 again, up to settings.statements. A
// statement that is not joinable, or longer than a batch may be, goes alone in its place after the
// batch before it; one that could change how later statements run ends the batching for the rest
// (see BatchTraits). With settings.statements 1, or a server whose form is None, every statement
// goes alone as it comes.
//
// A statement time limit applies to each text sent: a batch that runs out of time is split like one
// that failed (the server rolls it back; on SQL Server because XACT_ABORT is on). A lost connection
// stops everything: the rest is handed to notRun. Exceptions of the target (a stop of the run, whose
// cancel rolls the batch in flight back in the same way) pass through; the statements in hand then
// were not applied.
class StatementBatcher {
public:
    StatementBatcher(BatchTarget& target, const BatchSettings& settings);

    void add(BatchedStatement statement);
    // Sends the statements in hand.
    void flush();

    bool connectionLost() const { return lost_; }

    // The texts a batch of these statements is sent as, and the one sent after a failed batch
    // (empty when none is needed).
    static QString batchText(StatementBatchForm form, const std::vector<BatchedStatement>& statements,
                             std::size_t begin, std::size_t end);
    static QString restoreText(StatementBatchForm form);

private:
    void runAlone(const BatchedStatement& statement);
    void run(const std::vector<BatchedStatement>& batch, std::size_t begin, std::size_t end);
    void loseFrom(const std::vector<BatchedStatement>& batch, std::size_t begin, std::size_t end);

    BatchTarget& target_;
    BatchSettings settings_;
    bool batching_;
    int size_; // statements in the next batch: halved after a batch with failures, then growing again
    bool failures_ = false;
    bool lost_ = false;
    std::vector<BatchedStatement> pending_;
    qsizetype pendingCharacters_ = 0;
};

} // namespace zobran::db
