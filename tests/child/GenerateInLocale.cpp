// Generates the scripts of one query in both kinds, started the way the program starts, in whatever
// locale its environment names. The locale test runs it under a comma-decimal locale and under C and
// compares the files.
//
//   zobran_generate_in_locale PROGRAM_FOLDER DATABASE QUERY TABLE
//
// Prints what the environment asked for (the C library's locale and its decimal point) and the path
// of every file written; exits 1 with the error on standard error when something fails.

#include "basics/AppError.h"
#include "basics/AppPath.h"
#include "basics/NumericLocale.h"
#include "db/Connection.h"
#include "db/ResultSet.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "generate/ScriptGenerator.h"
#include "support/TestServer.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>

#include <langinfo.h>
#include <locale.h>

namespace {

// The decimal point of the numeric locale the environment names (what the program would use
// without keeping numbers in the C locale).
QString environmentDecimalPoint()
{
    const locale_t asked = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (!asked)
        return QStringLiteral("?");
    const QString point = QString::fromLocal8Bit(nl_langinfo_l(RADIXCHAR, asked));
    freelocale(asked);
    return point;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    zobran::keepNumbersInCLocale(); // as the program does right after its application object
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER DATABASE QUERY TABLE\n", argv[0]);
        return 2;
    }
    std::printf("locale=%s\n", std::setlocale(LC_CTYPE, nullptr));
    std::printf("environment decimal point=%s\n", environmentDecimalPoint().toUtf8().constData());

    try {
        zobran::AppPath() = args[1];
        zobran::db::Connection connection;
        connection.open(zobran::test::testConnectionString(args[2]));
        zobran::PendingLineBuffer lines;
        zobran::ScriptFileWriter writer(lines,
                                        {[] { return QDateTime(QDate(2009, 12, 7), QTime(15, 30, 45)); }, {}, {}});
        zobran::ScriptGenerator generator(lines);
        generator.setServer(connection.serverInfo());
        const auto open = [&connection](const QString& sql) {
            return std::move(*zobran::db::openStaticResultSet(sql, connection));
        };
        for (const zobran::ScriptKind kind : {zobran::ScriptKind::Sql, zobran::ScriptKind::Kx}) {
            zobran::ScriptGenerator::Callbacks callbacks;
            callbacks.fileDue = [&](qint16 number) {
                writer.writePendingLines(kind, number);
                std::printf("file=%s\n", writer.lastScriptFile().toUtf8().constData());
            };
            generator.run({{args[3], args[4]}}, kind, u"0", open, callbacks);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", zobran::toAppError(e).description().toUtf8().constData());
        return 1;
    }
    return 0;
}
