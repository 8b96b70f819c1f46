#include "basics/AppPath.h"

#include <QDir>

namespace zobran {

QString& AppPath()
{
    static QString path;
    return path;
}

QString appSubPath(const QString& subPath)
{
    const QString& base = AppPath();
    if (base.endsWith(QLatin1Char('/')) || base.endsWith(QDir::separator()))
        return base + subPath;
    return base + QDir::separator() + subPath;
}

} // namespace zobran
