#include "generate/ScriptFileWriter.h"

#include "basics/AppPath.h"
#include "basics/FileError.h"
#include "basics/Folders.h"
#include "basics/TextFile.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileName.h"

#include <QDir>
#include <QFileInfo>

namespace zobran {

namespace {

bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The path for an automatic name: the name itself, or when a file of that name is already there
// (two runs in one second) the first free one of name_2, name_3, ...
QString freeScriptPath(const QString& folder, const QString& name, ScriptKind kind)
{
    QString path = folder + QLatin1Char('/') + scriptFileName(name, kind);
    for (int n = 2; isTaken(path); ++n)
        path = folder + QLatin1Char('/') + scriptFileName(name + QStringLiteral("_%1").arg(n), kind);
    return path;
}

// A folder named for the files: made, parents and all, when missing.
QString ensureFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        throw pathNotFoundError(folder, QStringLiteral("the folder cannot be made"));
    return QDir(folder).absolutePath();
}

} // namespace

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
    const QString defaultName = defaultScriptName(now, fileNumber);
    const QString name = chooseName(defaultName);
    if (!isPlainFileName(name))
        throw pathFileAccessError(name, QStringLiteral("a file name cannot hold a folder separator"));

    // A name the user chose collects what is written under it; an automatic one never adds to a
    // file that is already there.
    const QString folder = folder_.isEmpty() ? ensureExportFolder() : ensureFolder(folder_);
    const QString path = name == defaultName ? freeScriptPath(folder, name, kind)
                                             : folder + QLatin1Char('/') + scriptFileName(name, kind);
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
