#include "osql/OdbcExecutor.h"

#include "osql/ScriptOutput.h"

#include <QStringList>

namespace zobran::osql {

namespace {

// Prints what a text gives: messages as they come, rows tab-separated under their column names.
class PrintedResults : public db::ResultHandler {
public:
    explicit PrintedResults(ScriptOutput& output) : output_(output) {}

    void message(const db::Diagnostic& record) override { output_.message(record); }
    void columns(const QStringList& names) override { output_.line(names.join(QLatin1Char('\t'))); }
    void row(const QStringList& values) override { output_.line(values.join(QLatin1Char('\t'))); }
    void rowsEnd(long rows) override
    {
        output_.line(rows == 1 ? QStringLiteral("(1 row affected)") : QStringLiteral("(%1 rows affected)").arg(rows));
    }

private:
    ScriptOutput& output_;
};

} // namespace

OdbcExecutor::OdbcExecutor(db::Connection& connection, ScriptOutput& output) : statement_(connection), output_(output)
{
}

bool OdbcExecutor::execute(const QString& text)
{
    PrintedResults printed(output_);
    return statement_.run(text, printed);
}

} // namespace zobran::osql
