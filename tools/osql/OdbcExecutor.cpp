#include "osql/OdbcExecutor.h"

#include "osql/ScriptOutput.h"

#include "db/DbError.h"

#include <QStringList>

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

} // namespace zobran::osql
