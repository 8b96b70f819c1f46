// zobran-bench: times the program's own script generation and grid on a table, through the classes
// the Generate Script window uses, for scripts/bench.sh. Not a test.
//
//   zobran-bench generate CONNECTION QUERY TABLE sql|kx LIMIT FOLDER
//       writes the scripts into FOLDER/Export, as the window does with auto-naming on
//   zobran-bench grid CONNECTION QUERY FIELD...
//       reads the query into a grid, shows it, then sorts it by each FIELD as a header click does
//
// Prints one "key=value" per line: rows, seconds of each step, bytes written, resident memory.

#include "basics/AppPath.h"
#include "db/Connection.h"
#include "db/ResultSet.h"
#include "db/ResultSetModel.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "generate/ScriptGenerator.h"

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
        if (line.startsWith(key) && line.size() > qsizetype(std::strlen(key)) && line[qsizetype(std::strlen(key))] == ':')
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
    const ScriptGenerator::QueryReader readQuery = [&connection](const QString& text, db::RowSink& rows) {
        db::readQueryRows(text, connection, rows);
    };
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
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<db::ResultSet> rows = db::openStaticResultSet(sql, connection);
    const double read = seconds(timer);
    model.setResultSet(rows.get());
    view.repaint();
    QApplication::processEvents();
    const double shown = seconds(timer);
    std::printf("rows=%ld\n", rows->recordCount());
    print("read_s", read);
    print("shown_s", shown);
    print("rss_shown_mib", statusMiB("VmRSS"));

    for (const QString& field : sortFields) {
        timer.restart();
        rows->setSort(field + QStringLiteral(" Desc"));
        view.repaint();
        QApplication::processEvents();
        std::printf("sort_%s_s=%.3f\n", qPrintable(field), seconds(timer));
    }
    model.setResultSet(nullptr);
    rows.reset();
    QApplication::processEvents();
    print("peak_rss_mib", statusMiB("VmHWM"));
    print("rss_before_mib", rssBefore);
    print("rss_after_release_mib", statusMiB("VmRSS"));
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: zobran-bench generate CONNECTION QUERY TABLE sql|kx LIMIT FOLDER\n"
                         "       zobran-bench grid CONNECTION QUERY FIELD...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Generation needs no windows; the grid is shown offscreen unless told otherwise.
    const bool showsGrid = argc > 1 && std::strcmp(argv[1], "grid") == 0;
    if (showsGrid && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        showsGrid ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    try {
        if (args.size() == 7 && args[0] == QStringLiteral("generate"))
            return generate(args[1], args[2], args[3], args[4], args[5], args[6]);
        if (args.size() >= 3 && args[0] == QStringLiteral("grid"))
            return grid(args[1], args[2], args.mid(3));
        return usage();
    } catch (const AppError& e) {
        std::fprintf(stderr, "zobran-bench: %ld %s\n", e.number(), qPrintable(e.description()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zobran-bench: %s\n", e.what());
    }
    return 1;
}
