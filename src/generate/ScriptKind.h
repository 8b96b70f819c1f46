#pragma once

#include <QString>
#include <QStringView>

#include <string_view>

namespace zobran {

// The two script file kinds the generator writes: plain SQL statements, or the bracketed KX form
// where every statement stands between "<" and ">". The kind's text is also the file extension.
enum class ScriptKind { Sql, Kx };

// "SQL" or "KX".
QString scriptKindText(ScriptKind kind);
std::string_view scriptKindAscii(ScriptKind kind);

// "SQL" selects the plain form; any other text selects the bracketed form.
ScriptKind scriptKindFromText(QStringView text);

constexpr bool isBracketed(ScriptKind kind)
{
    return kind != ScriptKind::Sql;
}

} // namespace zobran
