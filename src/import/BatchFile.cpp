#include "import/BatchFile.h"

#include "basics/AppPath.h"
#include "basics/TextFile.h"

namespace zobran {

QString batchFilePath()
{
    return appSubPath(QStringLiteral("TmExe.bat"));
}

void deleteBatchFile()
{
    deleteFileIfExists(batchFilePath());
}

void writeBatchFile(const QString& commandLine, const QString& path)
{
    // Deleted first: the new file is created with the owner's permissions only, and never holds a
    // line of an earlier run.
    deleteFileIfExists(path);
    FileAppend file(path, 0600);
    const QByteArray line = commandLine.toUtf8() + '\n';
    file.write(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    file.commit();
}

} // namespace zobran
