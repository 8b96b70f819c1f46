#include "generate/ScriptFileWriter.h"

#include "basics/AppPath.h"
#include "basics/FileError.h"
#include "basics/Folders.h"
#include "basics/TextFile.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileName.h"


namespace zobran {

ScriptFileWriter::ScriptFileWriter(PendingLineBuffer& lines, Hooks hooks) : lines_(lines), hooks_(std::move(hooks)) {}

void ScriptFileWriter::showStatus(const QString& text) const
{
    if (hooks_.status)
        hooks_.status(text);
}

QString ScriptFileWriter::chooseName(const QString& defaultName) const
{
    if (autoName_ || !hooks_.chooseName)
        return defaultName;
    const std::optional<QString> answer = hooks_.chooseName(defaultName);
    return answer && !answer->isEmpty() ? *answer : defaultName;
}

void ScriptFileWriter::writePendingLines(ScriptKind kind, qint16 fileNumber)
{
    lastScriptFile_.clear();
    if (lines_.isEmpty())
        return;
    showStatus(QStringLiteral("Start Generate ") + scriptKindText(kind) + QStringLiteral(" File ..."));

    const QDateTime now = hooks_.now ? hooks_.now() : QDateTime::currentDateTime();
    const QString name = chooseName(defaultScriptName(now, fileNumber));
    if (!isPlainFileName(name))
        throw pathFileAccessError(name, QStringLiteral("a file name cannot hold a folder separator"));

    const QString path = ensureExportFolder() + QLatin1Char('/') + scriptFileName(name, kind);
    // A new file is the pending lines' temporary file given its name, written once. An existing
    // one gets the lines appended, all or nothing: a failed write takes it back to what it held.
    if (!lines_.moveToNewFile(path)) {
        FileAppend file(path);
        lines_.writeAllTo([&file](std::string_view bytes) { file.write(bytes); });
        file.commit();
    }

    lastScriptFile_ = path;
    lines_.clear();
    showStatus(QString());
}

} // namespace zobran
