#include "generate/ScriptGenerator.h"

#include "basics/AppError.h"
#include "db/ResultSet.h"
#include "generate/LeadingNumber.h"
#include "generate/PendingLineBuffer.h"
#include "generate/PreparedStatements.h"

#include <cmath>
#include <limits>

namespace zobran {

namespace {

constexpr long Overflow = 6; // the file number went beyond its 16-bit range

} // namespace

QString generateStatusText(long row, long total)
{
    return QStringLiteral("Generate ... %1 of %2").arg(row).arg(total);
}

QString readingStatusText(std::size_t rows)
{
    return QStringLiteral("Reading ... %1 rows").arg(rows);
}

std::int64_t recordsPerFile(QStringView limitText)
{
    const double n = std::fabs(roundHalfEven(leadingNumber(limitText)));
    if (!(n < 9.0e18)) // also NaN
        return 0;
    return static_cast<std::int64_t>(n);
}

ScriptGenerator::ScriptGenerator(PendingLineBuffer& lines) : lines_(lines) {}

void ScriptGenerator::fileDue(const Callbacks& callbacks, int& fileNumber)
{
    if (callbacks.fileDue)
        callbacks.fileDue(static_cast<qint16>(fileNumber));
}

void ScriptGenerator::release(std::size_t lines)
{
    try {
        lines_.releaseHeldBackLines(lines);
    } catch (const std::exception& e) {
        throw CountLengthError(toAppError(e));
    }
}

void ScriptGenerator::run(const std::vector<ScriptQuery>& queries, ScriptKind kind, QStringView limitText,
                          const QueryReader& readQuery, const Callbacks& callbacks)
{
    rowsGenerated_ = 0;
    builder_.resetCounts();
    cutter_ = LineCutter(kind);

    lines_.dropHeldBackLines();
    lines_.clear();
    if (callbacks.status)
        callbacks.status(QString());

    const std::int64_t perFile = recordsPerFile(limitText);
    int fileNumber = 1;
    for (const ScriptQuery& query : queries)
        generateQuery(query, kind, perFile, fileNumber, readQuery, callbacks);

    lines_.publishAppendedLines();
    if (!lines_.isEmpty())
        fileDue(callbacks, fileNumber);
    if (callbacks.status)
        callbacks.status(QString());
}

void ScriptGenerator::run(const std::vector<ScriptQuery>& queries, ScriptKind kind, QStringView limitText,
                          const QueryOpener& openQuery, const Callbacks& callbacks)
{
    run(queries, kind, limitText, QueryReader([&openQuery](const QString& sql, db::RowSink& rows) {
            db::ResultSet opened = openQuery(sql);
            handRowsOn(opened, rows);
        }),
        callbacks);
}

void ScriptGenerator::generateQuery(const ScriptQuery& query, ScriptKind kind, std::int64_t perFile, int& fileNumber,
                                    const QueryReader& readQuery, const Callbacks& callbacks)
{
    // Lines held back for rows that never take their turn (the run ends before) are forgotten.
    struct DropHeldBackLines {
        PendingLineBuffer& lines;
        ~DropHeldBackLines() { lines.dropHeldBackLines(); }
    } dropLeftOver{lines_};

    // The statements are built, cut and stored while the rows are read; their total is known
    // before the first row takes its turn.
    const auto filesLeft = static_cast<std::size_t>(std::numeric_limits<qint16>::max() - fileNumber + 1);
    PreparedStatements statements(builder_, cutter_, lines_, query.table.toStdString(), kind, perFile, filesLeft);
    readQuery(query.sql, statements);
    const long total = statements.rowCount();
    std::size_t filesDue = 0;
    for (long row = 1; row <= total; ++row) {
        if (callbacks.rowProgress)
            callbacks.rowProgress(row, total);
        if (row == statements.failedRow()) {
            release(lines_.heldBackLineCount()); // the rows before it stay pending
            statements.raiseFailure();
        }
        ++rowsGenerated_;
        if (perFile != 0 && row % perFile == 0) {
            release(statements.linesOfFileDue(filesDue++));
            fileDue(callbacks, fileNumber);
            if (fileNumber == std::numeric_limits<qint16>::max())
                throw AppError(Overflow,
                               QStringLiteral("Overflow: a generation cannot write more than %1 files")
                                   .arg(std::numeric_limits<qint16>::max()));
            ++fileNumber;
        }
    }
    release(lines_.heldBackLineCount());
}

void handRowsOn(db::ResultSet& opened, db::RowSink& rows)
{
    const int count = opened.fieldCount();
    std::vector<db::FieldInfo> fields;
    for (int i = 0; i < count; ++i)
        fields.push_back(opened.field(i));
    rows.begin(fields);
    db::FetchedRow row;
    for (opened.moveFirst(); !opened.eof(); opened.moveNext()) {
        row.clear();
        for (int i = 0; i < count; ++i) {
            if (opened.isNull(i)) {
                row.appendNull();
            } else {
                row.bytes().append(opened.value(i));
                row.endValue();
            }
        }
        rows.appendRow(row);
    }
    opened.close();
}

} // namespace zobran
