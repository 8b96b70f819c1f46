#include "generate/ScriptFileWriter.h"

#include "basics/AppPath.h"
#include "basics/AppError.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zobran {

QString ensureExportFolder()
{
    const QString folder = appSubPath(QStringLiteral("Export"));
    const QFileInfo info(folder);
    if (info.isDir())
        return folder;
    if (info.exists())
        throw AppError(errnum::PathNotFound, QStringLiteral("Path not found: %1 is a file, not a folder").arg(folder));
    if (!QFileInfo(AppPath()).isDir())
        throw AppError(errnum::PathNotFound, QStringLiteral("Path not found: %1").arg(AppPath()));
    if (!QDir().mkdir(folder))
        throw AppError(errnum::PathFileAccess, QStringLiteral("Path/File access error: the folder %1 cannot be created").arg(folder));
    return folder;
}

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
        throw AppError(errnum::PathFileAccess,
                       QStringLiteral("Path/File access error: the name \"%1\" holds a folder separator").arg(name));

    const QString path = ensureExportFolder() + QLatin1Char('/') + scriptFileName(name, kind);
    QFile file(path);
    const auto accessError = [&] {
        return AppError(errnum::PathFileAccess, QStringLiteral("Path/File access error: %1: %2").arg(path, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw accessError();
    lines_.writeAllTo(file);
    if (!file.flush())
        throw accessError();
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw accessError();

    lastScriptFile_ = path;
    lines_.clear();
    showStatus(QString());
}

} // namespace zobran
