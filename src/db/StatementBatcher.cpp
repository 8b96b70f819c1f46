#include "db/StatementBatcher.h"

#include "db/BatchTraits.h"
#include "db/DbError.h"

#include <algorithm>

namespace zobran::db {

StatementBatcher::StatementBatcher(BatchTarget& target, const BatchSettings& settings)
    : target_(target),
      settings_(settings),
      batching_(settings.form != StatementBatchForm::None && settings.statements > 1),
      size_(std::max(settings.statements, 1))
{
}

void StatementBatcher::add(BatchedStatement statement)
{
    if (lost_) {
        target_.notRun(statement);
        return;
    }
    if (!batching_) {
        runAlone(statement);
        return;
    }
    const BatchTraits traits = batchTraitsOf(statement.text);
    if (!traits.joinable || statement.text.size() > settings_.characters) {
        flush();
        runAlone(statement);
        batching_ = traits.keepsBatching;
        return;
    }
    if (!pending_.empty() && pendingCharacters_ + statement.text.size() > settings_.characters)
        flush();
    pendingCharacters_ += statement.text.size();
    pending_.push_back(std::move(statement));
    if (pending_.size() >= static_cast<std::size_t>(size_))
        flush();
}

void StatementBatcher::flush()
{
    if (pending_.empty())
        return;
    std::vector<BatchedStatement> batch;
    batch.swap(pending_);
    pendingCharacters_ = 0;
    failures_ = false;
    run(batch, 0, batch.size());
    // Failures seldom come alone: smaller batches after one cost fewer texts sent again in parts.
    size_ = failures_ ? std::max(size_ / 2, 1) : std::min(size_ + 2, std::max(settings_.statements, 1));
}

void StatementBatcher::runAlone(const BatchedStatement& statement)
{
    if (lost_) {
        target_.notRun(statement);
        return;
    }
    switch (target_.sendAlone(statement)) {
    case SendOutcome::Applied:
        target_.applied(statement);
        return;
    case SendOutcome::Failed:
        failures_ = true;
        target_.failed(statement);
        return;
    case SendOutcome::ConnectionLost:
        lost_ = true;
        target_.lost(statement);
        return;
    }
}

void StatementBatcher::run(const std::vector<BatchedStatement>& batch, std::size_t begin, std::size_t end)
{
    if (lost_) {
        for (std::size_t i = begin; i < end; ++i)
            target_.notRun(batch[i]);
        return;
    }
    if (end - begin == 1) {
        runAlone(batch[begin]);
        return;
    }
    switch (target_.sendBatch(batchText(settings_.form, batch, begin, end))) {
    case SendOutcome::Applied:
        for (std::size_t i = begin; i < end; ++i)
            target_.applied(batch[i]);
        return;
    case SendOutcome::ConnectionLost:
        loseFrom(batch, begin, end);
        return;
    case SendOutcome::Failed:
        break;
    }
    failures_ = true;
    if (const QString restore = restoreText(settings_.form); !restore.isEmpty()) {
        switch (target_.sendBatch(restore)) {
        case SendOutcome::Applied:
            break;
        case SendOutcome::ConnectionLost:
            loseFrom(batch, begin, end);
            return;
        case SendOutcome::Failed:
            // Statements sent now might run inside what the batch left open, and be rolled back
            // with it when the connection closes.
            throw DbError({Diagnostic{QStringLiteral("HY000"), 0,
                                      QStringLiteral("A batch of statements failed and the transaction it had "
                                                     "begun could not be rolled back, so nothing more was sent.")}});
        }
    }
    const std::size_t middle = begin + (end - begin) / 2;
    run(batch, begin, middle);
    run(batch, middle, end);
}

void StatementBatcher::loseFrom(const std::vector<BatchedStatement>& batch, std::size_t begin, std::size_t end)
{
    lost_ = true;
    target_.lost(batch[begin]);
    for (std::size_t i = begin + 1; i < end; ++i)
        target_.notRun(batch[i]);
}

QString StatementBatcher::batchText(StatementBatchForm form, const std::vector<BatchedStatement>& statements,
                                    std::size_t begin, std::size_t end)
{
    static const QString transactionStart = QStringLiteral("SET XACT_ABORT ON;\nBEGIN TRANSACTION;\n");
    static const QString transactionCheck = QStringLiteral("\nIF @@ERROR <> 0 RETURN;\n");
    static const QString transactionEnd = QStringLiteral("COMMIT TRANSACTION;\nSET XACT_ABORT OFF;");
    static const QString implicitEnd = QStringLiteral("\n;");
    const bool transaction = form == StatementBatchForm::Transaction;
    qsizetype size = transaction ? transactionStart.size() + transactionEnd.size() : 0;
    for (std::size_t i = begin; i < end; ++i)
        size += statements[i].text.size() + (transaction ? transactionCheck.size() : implicitEnd.size());
    QString text;
    text.reserve(size);
    if (transaction)
        text += transactionStart;
    for (std::size_t i = begin; i < end; ++i) {
        text += statements[i].text;
        text += transaction ? transactionCheck : implicitEnd;
    }
    if (transaction)
        text += transactionEnd;
    return text;
}

QString StatementBatcher::restoreText(StatementBatchForm form)
{
    if (form == StatementBatchForm::Transaction)
        return QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION;\nSET XACT_ABORT OFF;");
    return {};
}

} // namespace zobran::db
