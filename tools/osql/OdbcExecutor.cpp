#include "osql/OdbcExecutor.h"

#include "osql/ScriptOutput.h"

#include "db/DbError.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace zobran::osql {

namespace {

// Prints what a text gives: messages as they come, rows tab-separated under their column names;
// notes when a message says the connection is gone.
class PrintedResults : public db::ResultHandler {
public:
    PrintedResults(ScriptOutput& output, bool& lost) : output_(output), lost_(lost) {}

    void message(const db::Diagnostic& record) override
    {
        output_.message(record);
        if (db::isConnectionLost({record}))
            lost_ = true;
    }
    void columns(const QStringList& names) override { output_.line(names.join(QLatin1Char('\t'))); }
    void row(const QStringList& values) override { output_.line(values.join(QLatin1Char('\t'))); }
    void rowsEnd(long rows) override
    {
        output_.line(rows == 1 ? QStringLiteral("(1 row affected)") : QStringLiteral("(%1 rows affected)").arg(rows));
    }

private:
    ScriptOutput& output_;
    bool& lost_;
};

// Keeps what a text gives, to be shown once it is known to have been applied.
class KeptResults : public db::ResultHandler {
public:
    void message(const db::Diagnostic& record) override
    {
        messages_.push_back(record);
        events_.push_back([record](db::ResultHandler& to) { to.message(record); });
    }
    void columns(const QStringList& names) override
    {
        events_.push_back([names](db::ResultHandler& to) { to.columns(names); });
    }
    void row(const QStringList& values) override
    {
        events_.push_back([values](db::ResultHandler& to) { to.row(values); });
    }
    void rowsEnd(long rows) override
    {
        events_.push_back([rows](db::ResultHandler& to) { to.rowsEnd(rows); });
    }

    void showAll(db::ResultHandler& to) const
    {
        for (const auto& event : events_)
            event(to);
    }
    bool saysConnectionLost() const { return db::isConnectionLost(messages_); }
    const QList<db::Diagnostic>& messages() const { return messages_; }

private:
    std::vector<std::function<void(db::ResultHandler&)>> events_;
    QList<db::Diagnostic> messages_;
};

} // namespace

OdbcExecutor::OdbcExecutor(db::Connection& connection, ScriptOutput& output) : statement_(connection), output_(output)
{
}

bool OdbcExecutor::execute(const QString& text)
{
    PrintedResults printed(output_, lost_);
    try {
        return statement_.run(text, printed);
    } catch (const db::DbError& refused) {
        // Not sent at all (a NUL character in it): the refusal is what the user sees.
        for (const db::Diagnostic& record : refused.records())
            printed.message(record);
        return false;
    }
}

bool OdbcExecutor::executeBatch(const QString& text)
{
    PrintedResults printed(output_, lost_);
    KeptResults kept;
    bool applied = false;
    try {
        applied = statement_.run(text, kept);
    } catch (const db::DbError& refused) {
        for (const db::Diagnostic& record : refused.records())
            kept.message(record);
    }
    if (applied) {
        kept.showAll(printed);
    } else if (kept.saysConnectionLost()) {
        // A failed batch is run again in parts, which tell their own failures; a lost connection
        // ends the run here, so what the driver said of it is shown.
        for (const db::Diagnostic& record : kept.messages())
            printed.message(record);
    }
    return applied;
}

} // namespace zobran::osql
