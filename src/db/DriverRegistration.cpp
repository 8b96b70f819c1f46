#include "db/DriverRegistration.h"

#include "basics/AppError.h"
#include "basics/FileError.h"
#include "db/ConnectionString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

namespace zobran::db {

namespace {

// Where Debian's multiarch libraries live on this build's architecture ("x86_64-linux-gnu").
#ifdef ZOBRAN_LIBRARY_ARCH
const QString LibraryArch = QStringLiteral(ZOBRAN_LIBRARY_ARCH);
#else
const QString LibraryArch;
#endif

QString underRoot(const QString& root, const QString& path)
{
    return QDir::cleanPath(root + QLatin1Char('/') + path);
}

// The files of a folder that match a wildcard pattern, sorted by name.
QStringList matching(const QString& folder, const QString& pattern)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({pattern}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// The numbers of a library's file name ("libmsodbcsql-18.3.so.2.1" gives 18, 3, 2, 1), to order versions.
QList<int> versionOf(const QString& path)
{
    QList<int> numbers;
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    for (const QRegularExpressionMatch& m : digits.globalMatch(QFileInfo(path).fileName()))
        numbers << m.captured().toInt();
    return numbers;
}

QList<InstalledDriver> vendorDrivers(const QString& root)
{
    QStringList libraries;
    for (const QString& folder :
         matching(underRoot(root, QStringLiteral("/opt/microsoft")), QStringLiteral("msodbcsql*")))
        libraries << matching(folder + QStringLiteral("/lib64"), QStringLiteral("libmsodbcsql-*.so*"));
    std::sort(libraries.begin(), libraries.end(),
              [](const QString& a, const QString& b) { return versionOf(a) > versionOf(b); });
    QList<InstalledDriver> drivers;
    for (const QString& library : libraries) {
        const QList<int> version = versionOf(library);
        drivers.append({QStringLiteral("ODBC Driver %1 for SQL Server").arg(version.value(0)), library});
    }
    return drivers;
}

std::optional<InstalledDriver> freeTdsDriver(const QString& root)
{
    QStringList candidates;
    if (!LibraryArch.isEmpty())
        candidates << underRoot(root, QStringLiteral("/usr/lib/%1/odbc/libtdsodbc.so").arg(LibraryArch));
    for (const QString& folder : matching(underRoot(root, QStringLiteral("/usr/lib")), QStringLiteral("*-*-*")))
        candidates << folder + QStringLiteral("/odbc/libtdsodbc.so");
    candidates << underRoot(root, QStringLiteral("/usr/lib/odbc/libtdsodbc.so"))
               << underRoot(root, QStringLiteral("/usr/lib64/libtdsodbc.so"))
               << underRoot(root, QStringLiteral("/usr/local/lib/libtdsodbc.so"));
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return InstalledDriver{QStringLiteral("FreeTDS driver for SQL Server"), candidate};
    return std::nullopt;
}

bool isSectionLine(const QString& trimmed)
{
    return trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'));
}

QString sectionName(const QString& trimmed)
{
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

QString readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw pathFileAccessError(path, file.errorString());
    return QString::fromUtf8(file.readAll());
}

void writeWholeFile(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw pathFileAccessError(path, file.errorString());
    file.write(text.toUtf8());
    if (!file.commit())
        throw pathFileAccessError(path, file.errorString());
}

QString entryValue(const IniEntries& entries, const QString& key)
{
    for (const auto& [name, value] : entries)
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

} // namespace

QList<InstalledDriver> installedSqlServerDrivers(const QString& root)
{
    QList<InstalledDriver> drivers = vendorDrivers(root);
    if (std::optional<InstalledDriver> freeTds = freeTdsDriver(root))
        drivers.append(*freeTds);
    return drivers;
}

QString systemDriverListPath()
{
    const QString folder
        = qEnvironmentVariableIsEmpty("ODBCSYSINI") ? QStringLiteral("/etc") : qEnvironmentVariable("ODBCSYSINI");
    const QString name = qEnvironmentVariableIsEmpty("ODBCINSTINI") ? QStringLiteral("odbcinst.ini")
                                                                    : qEnvironmentVariable("ODBCINSTINI");
    return folder + QLatin1Char('/') + name;
}

QString userDriverListPath()
{
    return QDir::homePath() + QStringLiteral("/.odbcinst.ini");
}

std::optional<IniEntries> iniSection(const QString& text, const QString& section)
{
    std::optional<IniEntries> found;
    bool inside = false;
    for (const QString& line : linesOf(text)) {
        const QString trimmed = line.trimmed();
        if (isSectionLine(trimmed)) {
            if (found)
                break;
            inside = sectionName(trimmed).compare(section, Qt::CaseInsensitive) == 0;
            if (inside)
                found.emplace();
            continue;
        }
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (inside && equals > 0 && !trimmed.startsWith(QLatin1Char('#')) && !trimmed.startsWith(QLatin1Char(';')))
            found->append({trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed()});
    }
    return found;
}

QString withIniSection(const QString& text, const QString& section, const IniEntries& entries)
{
    QStringList block{QLatin1Char('[') + section + QLatin1Char(']')};
    for (const auto& [key, value] : entries)
        block << key + QLatin1Char('=') + value;

    QStringList out;
    bool skipping = false;
    bool written = false;
    for (const QString& line : linesOf(text)) {
        const QString trimmed = line.trimmed();
        if (isSectionLine(trimmed)) {
            skipping = sectionName(trimmed).compare(section, Qt::CaseInsensitive) == 0;
            if (skipping && !written) {
                out << block << QString();
                written = true;
            }
        }
        if (!skipping)
            out << line;
    }
    if (!written) {
        if (!out.isEmpty() && !out.last().trimmed().isEmpty())
            out << QString();
        out << block;
    }
    while (!out.isEmpty() && out.last().trimmed().isEmpty())
        out.removeLast();
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

DriverRegistration registerSqlServerDriver(const QString& root, const QString& userList, const QString& systemList)
{
    const QList<InstalledDriver> drivers = installedSqlServerDrivers(root);
    if (drivers.isEmpty())
        throw AppError(errnum::FileNotFound,
                       QStringLiteral("No ODBC driver for SQL Server is installed: install FreeTDS's (the Debian "
                                      "package tdsodbc) or the vendor's, then register it again."));
    DriverRegistration done;
    done.driver = drivers.first();
    done.writtenTo = userList;
    const IniEntries entries{{QStringLiteral("Description"), done.driver.description},
                             {QStringLiteral("Driver"), done.driver.library}};
    writeWholeFile(userList, withIniSection(readWholeFile(userList), SqlServerDriver, entries));
    done.report = QStringLiteral("Registered the driver \"%1\" as %2 (%3) in %4.")
                      .arg(SqlServerDriver, done.driver.description, done.driver.library, userList);

    if (const std::optional<IniEntries> system = iniSection(readWholeFile(systemList), SqlServerDriver)) {
        const QString library = entryValue(*system, QStringLiteral("Driver"));
        done.inEffect = !library.isEmpty()
            && QFileInfo(library).canonicalFilePath() == QFileInfo(done.driver.library).canonicalFilePath();
        if (!done.inEffect)
            done.report += QStringLiteral("\nIt is not used: %1 registers \"%2\" too (Driver=%3), and unixODBC takes "
                                          "that one. Remove that section there, or make its Driver line name %4.")
                               .arg(systemList, SqlServerDriver, library, done.driver.library);
    }
    return done;
}

} // namespace zobran::db
