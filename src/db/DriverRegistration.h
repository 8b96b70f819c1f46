#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace zobran::db {

// An ODBC driver for SQL Server found on this machine.
struct InstalledDriver {
    QString description;
    QString library; // the driver's shared library, absolute
};

// The SQL Server drivers installed under root ("/" on a real machine), best first: the vendor's
// own drivers, newest version first, then FreeTDS's libtdsodbc.so where Debian puts it.
QList<InstalledDriver> installedSqlServerDrivers(const QString& root = QStringLiteral("/"));

// The driver list unixODBC reads first: odbcinst.ini (or the file named by ODBCINSTINI) in the
// folder named by ODBCSYSINI, or in /etc.
QString systemDriverListPath();

// The user's own driver list, $HOME/.odbcinst.ini: unixODBC reads a driver from it when the system
// list has no section of that name.
QString userDriverListPath();

using IniEntries = QList<QPair<QString, QString>>;

// The entries of a section of an ini text (names of sections compare without regard to case, as
// unixODBC compares them); nothing when the section is missing.
std::optional<IniEntries> iniSection(const QString& text, const QString& section);

// The ini text with the section (every section of that name) replaced by one with these entries,
// where the first one stood, or added at the end; every other line stays as it was.
QString withIniSection(const QString& text, const QString& section, const IniEntries& entries);

// What a registration did, in words for the user; inEffect is false when the system list has a
// "SQL Server" section of its own for another library, which unixODBC then takes instead.
struct DriverRegistration {
    InstalledDriver driver;
    QString writtenTo;
    bool inEffect = true;
    QString report;
};

// Registers the best installed driver under the name "SQL Server" in the user's driver list,
// replacing an earlier registration of that name and keeping everything else in the file. Raises
// AppError 53 when no driver is installed, FileError when the file cannot be read or written.
DriverRegistration registerSqlServerDriver(const QString& root, const QString& userList, const QString& systemList);

} // namespace zobran::db
