#pragma once

#include <QString>
#include <QStringList>

#include <mutex>
#include <set>
#include <utility>

namespace zobran {

// The report of a multi-database run, a CSV file written as the run goes (a row as soon as it is
// known, so a run that ends early leaves what it did): one row per database and script file, and
// one per table the files insert into with its rows before and after the database's files ran.
//
//   database,file,completed,statements executed,statements failed,seconds,first error,table,rows before,rows after
//
// "completed" is "yes" for a file that ran to its end with nothing failed, "no" otherwise, and
// "skipped" for a pair an earlier report showed complete. Values are quoted where CSV needs it.
class RunReport {
public:
    struct FileRow {
        QString database;
        QString file;
        bool completed = false;
        bool skipped = false;
        long executed = 0;
        long failed = 0;
        double seconds = 0;
        QString firstError;
    };
    struct TableRow {
        QString database;
        QString table;
        QString rowsBefore; // a count, or why it could not be counted
        QString rowsAfter;
    };

    // Starts the file with its header (an existing file is replaced). Raises FileError.
    explicit RunReport(const QString& path);

    const QString& path() const { return path_; }
    // From any thread; raises FileError when the row cannot be written.
    void add(const FileRow& row);
    void add(const TableRow& row);

    // The database/file pairs a report shows complete (for a resumed run). Raises FileError when
    // it cannot be read; a file that is not such a report gives none.
    static std::set<std::pair<QString, QString>> completedPairs(const QString& path);

    // "<LOG folder>/run-yyyyMMdd-hhmmss.csv", next to the daily error log.
    static QString defaultPath();

private:
    void append(const QStringList& values);

    QString path_;
    std::mutex mutex_;
};

// One CSV line's values, and the values of one line back (quotes taken off).
QString csvLine(const QStringList& values);
QStringList csvValues(const QString& line);

} // namespace zobran
