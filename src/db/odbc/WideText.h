#pragma once

#include <sql.h>
#include <sqlext.h>

#include <QString>

#include <string>
#include <vector>

namespace zobran::db {

// Appends UTF-16 code units (the driver's wide characters) to a UTF-8 string. A high surrogate at
// the end of a chunk is kept in `pendingHighSurrogate` and joined with the next chunk; an unpaired
// surrogate becomes U+FFFD.
void appendUtf16AsUtf8(std::string& out, const SQLWCHAR* text, std::size_t units, char16_t& pendingHighSurrogate);
void finishUtf16(std::string& out, char16_t& pendingHighSurrogate);

// A statement or connection text as the driver's wide characters, zero-terminated.
std::vector<SQLWCHAR> toSqlWide(const QString& text);
QString fromSqlWide(const SQLWCHAR* text, std::size_t units);

} // namespace zobran::db
