#pragma once

#include <QByteArray>
#include <QString>

namespace zobran::test {

// Text as UTF-16 after its byte-order mark, the way some of SQL Server's tools save scripts.
inline QByteArray utf16WithMark(const QString& text, bool bigEndian = false)
{
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

// Text as UTF-8 after its byte-order mark.
inline QByteArray utf8WithMark(const QString& text)
{
    return "\xEF\xBB\xBF" + text.toUtf8();
}

} // namespace zobran::test
