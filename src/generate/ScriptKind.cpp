#include "generate/ScriptKind.h"

namespace zobran {

std::string_view scriptKindAscii(ScriptKind kind)
{
    return kind == ScriptKind::Sql ? std::string_view("SQL") : std::string_view("KX");
}

QString scriptKindText(ScriptKind kind)
{
    return kind == ScriptKind::Sql ? QStringLiteral("SQL") : QStringLiteral("KX");
}

ScriptKind scriptKindFromText(QStringView text)
{
    return text == u"SQL" ? ScriptKind::Sql : ScriptKind::Kx;
}

} // namespace zobran
