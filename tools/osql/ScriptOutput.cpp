#include "osql/ScriptOutput.h"

namespace zobran::osql {

QString messageLine(const db::Diagnostic& record)
{
    // Drivers end some messages with a line end of their own.
    QString text = record.message;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return QStringLiteral("Msg %1, SQLSTATE %2: %3").arg(record.nativeError).arg(record.sqlState, text);
}

void ScriptOutput::message(const db::Diagnostic& record)
{
    line(messageLine(record));
}

void ScriptOutput::line(const QString& text)
{
    write(out_, text);
}

void ScriptOutput::problem(const QString& text)
{
    // What went before on the other stream comes first.
    std::fflush(out_);
    write(err_, text);
    std::fflush(err_);
}

void ScriptOutput::flush()
{
    std::fflush(out_);
    std::fflush(err_);
}

void ScriptOutput::write(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
}

} // namespace zobran::osql
