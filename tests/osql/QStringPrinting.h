#pragma once

#include <QString>

#include <ostream>

// Failed comparisons show the text, not its code units.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
