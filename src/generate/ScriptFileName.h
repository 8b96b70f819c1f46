#pragma once

#include "generate/ScriptKind.h"

#include <QDateTime>
#include <QString>

namespace zobran {

// "SQL-" + yyyyMMdd + "-" + HHmmss (24-hour clock) + "-" + the file number, for both kinds:
// SQL-20091207-153045-2.
QString defaultScriptName(const QDateTime& when, qint16 fileNumber);

// The name + "." + the kind's text; the extension is appended even when the name has its own.
QString scriptFileName(const QString& name, ScriptKind kind);

// True when the name can stand as one file name in the Export folder: no folder separator and no
// NUL, so a typed name never writes outside that folder.
bool isPlainFileName(const QString& name);

} // namespace zobran
