// zobran-bench: times the program's own script generation, grid and script import on a table,
// through the classes the windows use, for scripts/bench.sh. Not a test.
//
//   zobran-bench generate CONNECTION QUERY TABLE sql|kx LIMIT FOLDER
//       writes the scripts into FOLDER/Export, as the window does with auto-naming on
//   zobran-bench grid CONNECTION QUERY FIELD...
//       reads the query into a grid, shows it, then sorts it by each FIELD as a header click does
//   zobran-bench import-kx SERVER DATABASE LOGIN PASSWORD FILE [FAILING]
//       runs the statements of a KX file over a connection opened as the import windows open it
//   zobran-bench import-sql SERVER DATABASE LOGIN PASSWORD FILE [FAILING]
//       runs a .sql file as the import windows do: TmExe.bat written and run with the OSQL built
//       beside the program (build/src), no output window; the batch file is deleted afterwards
//
// Prints one "key=value" per line: rows, seconds of each step, bytes written, resident memory.
// An import ends with status 1 unless exactly FAILING of its statements failed (0 unless given) and
// nothing else went wrong (OSQL's failure, a lost connection).

#include "basics/AppPath.h"
#include "basics/RunProgress.h"
#include "basics/StopSource.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/ResultSet.h"
#include "db/ResultSetModel.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "generate/ScriptGenerator.h"
#include "import/BatchFile.h"
#include "import/BatchRun.h"
#include "import/KxFileImport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

using namespace zobran;

namespace {

// A value of /proc/self/status in MiB ("VmRSS", "VmHWM").
double statusMiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key) && line.size() > qsizetype(std::strlen(key))
            && line[qsizetype(std::strlen(key))] == ':')
            return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

void print(const char* key, double value)
{
    std::printf("%s=%.3f\n", key, value);
}

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

int generate(const QString& connectionText, const QString& sql, const QString& table, const QString& kindText,
             const QString& limit, const QString& folder)
{
    AppPath() = QDir(folder).absolutePath();
    const ScriptKind kind = scriptKindFromText(kindText.toUpper());
    db::Connection connection;
    connection.open(connectionText);
    connection.setCursorLocation(db::CursorLocationClient);

    PendingLineBuffer lines;
    ScriptFileWriter writer(lines, {});
    ScriptGenerator generator(lines);
    QStringList written;
    QElapsedTimer timer;
    double firstStatement = -1;
    ScriptGenerator::Callbacks callbacks;
    callbacks.rowProgress = [&](long row, long) {
        if (row == 1 && firstStatement < 0)
            firstStatement = seconds(timer);
    };
    callbacks.fileDue = [&](qint16 number) {
        writer.writePendingLines(kind, number);
        written << writer.lastScriptFile();
    };
    // As the window reads the queries of a generation.
    const ScriptGenerator::QueryReader readQuery
        = [&connection](const QString& text, db::RowSink& rows) { db::readQueryRows(text, connection, rows); };
    timer.start();
    generator.run({{sql, table}}, kind, limit, readQuery, callbacks);
    const double total = seconds(timer);

    qint64 bytes = 0;
    for (const QString& path : written)
        bytes += QFileInfo(path).size();
    std::printf("rows=%ld\nfiles=%lld\nbytes=%lld\n", generator.rowsGenerated(), static_cast<long long>(written.size()),
                static_cast<long long>(bytes));
    print("read_s", firstStatement);
    print("total_s", total);
    print("peak_rss_mib", statusMiB("VmHWM"));
    print("rss_after_mib", statusMiB("VmRSS"));
    return 0;
}

// Lays the view out and paints it at once, as the window's thread would before it went on.
void paintNow(QWidget& view)
{
    QCoreApplication::sendPostedEvents();
    view.repaint();
}

int grid(const QString& connectionText, const QString& sql, const QStringList& sortFields)
{
    db::Connection connection;
    connection.open(connectionText);
    connection.setCursorLocation(db::CursorLocationClient);
    const double rssBefore = statusMiB("VmRSS");

    // Set up as the Generate Script window sets up its grid.
    QTableView view;
    view.resize(660, 480);
    view.setSortingEnabled(false);
    view.horizontalHeader()->setSectionsClickable(true);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
    view.setWordWrap(false);
    db::ResultSetModel model;
    view.setModel(&model);
    view.show();
    paintNow(view);

    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<db::ResultSet> rows = db::openStaticResultSet(sql, connection);
    const double read = seconds(timer);
    model.setResultSet(rows.get());
    paintNow(view);
    const double shown = seconds(timer);
    std::printf("rows=%ld\n", rows->recordCount());
    print("read_s", read);
    print("shown_s", shown);
    print("rss_shown_mib", statusMiB("VmRSS"));

    for (const QString& field : sortFields) {
        timer.restart();
        rows->setSort(field + QStringLiteral(" Desc"));
        paintNow(view);
        std::printf("sort_%s_s=%.3f\n", qPrintable(field), seconds(timer));
    }
    model.setResultSet(nullptr);
    rows.reset();
    paintNow(view);
    print("peak_rss_mib", statusMiB("VmHWM"));
    print("rss_before_mib", rssBefore);
    print("rss_after_release_mib", statusMiB("VmRSS"));
    return 0;
}

// The four values of the import windows' boxes, in their order, and the file to import.
struct ImportArguments {
    QString server;
    QString database;
    QString login;
    QString password;
    QString path;
    long failing = 0; // statements expected to fail
};

ImportArguments importArguments(const QStringList& args)
{
    return ImportArguments{args[1],
                           args[2],
                           args[3],
                           args[4],
                           QFileInfo(args[5]).absoluteFilePath(),
                           args.size() > 6 ? args[6].toLong() : 0};
}

int importKx(const ImportArguments& import)
{
    QElapsedTimer timer;
    timer.start();
    // As the single-database window connects and imports, its status label left out.
    db::Connection connection;
    connection.open(db::importConnectionString(import.server, import.database, import.login, import.password));
    connection.setCursorLocation(db::CursorLocationClient);
    // The status the window's run shows, every 50 ms at the most.
    RunProgress progress;
    QElapsedTimer sinceStatus;
    KxImportHooks hooks;
    hooks.afterStatement = [&](const KxImportCounts& done, long, bool) {
        if (!sinceStatus.isValid() || sinceStatus.elapsed() >= 50) {
            sinceStatus.start();
            progress.setStatus(QStringLiteral("statement %1").arg(done.executed + done.failed));
        }
    };
    long reported = 0;
    hooks.statementFailed = [&reported, &import](const KxStatementFailure& failure) {
        if (++reported <= 3 && import.failing == 0)
            std::fprintf(stderr, "zobran-bench: line %ld: %ld %s\n", failure.line, failure.error.number(),
                         qPrintable(failure.error.description()));
    };
    const KxImportCounts counts = importKxFile(import.path, connection, hooks);
    std::printf("statements=%ld\nfailed=%ld\n", counts.executed, counts.failed);
    print("total_s", seconds(timer));
    print("peak_rss_mib", statusMiB("VmHWM"));
    if (counts.executed == 0)
        std::fprintf(stderr, "zobran-bench: no statement was imported\n");
    if (counts.failed != import.failing)
        std::fprintf(stderr, "zobran-bench: %ld statement(s) failed, not %ld\n", counts.failed, import.failing);
    return counts.failed == import.failing && counts.executed > 0 && !counts.connectionLost ? 0 : 1;
}

int importSql(const ImportArguments& import)
{
    // The program folder is where OSQL lands in the build, beside zobran.
    AppPath() = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../../src")).absolutePath();
    if (!QFileInfo(appSubPath(QStringLiteral("OSQL"))).isExecutable())
        throw AppError(errnum::FileNotFound, QStringLiteral("OSQL is not built in ") + AppPath());
    QElapsedTimer timer;
    timer.start();
    deleteBatchFile();
    const StopSource stop;
    const BatchRunResult result = runOsqlFile(
        OsqlArguments{import.login, import.password, import.server, import.database, import.path}, stop, {});
    const double total = seconds(timer);
    deleteBatchFile();
    // OSQL's last line counts the statements it ran and those that failed.
    const QStringList lines = result.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString summary = lines.isEmpty() ? QString() : lines.last();
    std::printf("osql_summary=%s\n", qPrintable(summary));
    print("total_s", total);
    if (!result.failed() && import.failing == 0)
        return 0;
    // A run with the failures expected ends with OSQL's status 1 and says how many there were.
    const QString expected = QStringLiteral(" run, %1 failed.").arg(import.failing);
    if (import.failing > 0 && result.started && !result.crashed && result.exitStatus == 1 && summary.endsWith(expected))
        return 0;
    std::fprintf(stderr, "zobran-bench: %s\n%s\n", qPrintable(result.outcome()), qPrintable(result.output.right(2000)));
    return 1;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: zobran-bench generate CONNECTION QUERY TABLE sql|kx LIMIT FOLDER\n"
                 "       zobran-bench grid CONNECTION QUERY FIELD...\n"
                 "       zobran-bench import-kx SERVER DATABASE LOGIN PASSWORD FILE [FAILING]\n"
                 "       zobran-bench import-sql SERVER DATABASE LOGIN PASSWORD FILE [FAILING]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Generation and import need no windows; the grid is shown offscreen unless told otherwise.
    const bool showsGrid = argc > 1 && std::strcmp(argv[1], "grid") == 0;
    if (showsGrid && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app
        = showsGrid ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    try {
        if (args.size() == 7 && args[0] == QStringLiteral("generate"))
            return generate(args[1], args[2], args[3], args[4], args[5], args[6]);
        if (args.size() >= 3 && args[0] == QStringLiteral("grid"))
            return grid(args[1], args[2], args.mid(3));
        if ((args.size() == 6 || args.size() == 7) && args[0] == QStringLiteral("import-kx"))
            return importKx(importArguments(args));
        if ((args.size() == 6 || args.size() == 7) && args[0] == QStringLiteral("import-sql"))
            return importSql(importArguments(args));
        return usage();
    } catch (const AppError& e) {
        std::fprintf(stderr, "zobran-bench: %ld %s\n", e.number(), qPrintable(e.description()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zobran-bench: %s\n", e.what());
    }
    return 1;
}
