#include "app/AppState.h"

#include <QDir>

namespace zobran {

QString& AppPath()
{
    static QString path;
    return path;
}

int& MsgAnswer()
{
    static int value = 0;
    return value;
}

QString appSubPath(const QString& subPath)
{
    const QString& base = AppPath();
    if (base.endsWith(QLatin1Char('/')) || base.endsWith(QDir::separator()))
        return base + subPath;
    return base + QDir::separator() + subPath;
}

} // namespace zobran
