#pragma once

#include "db/DbError.h"

#include <QString>

#include <cstdio>

namespace zobran::osql {

// What the runner prints: the server's messages and rows on one stream, the runner's own
// complaints on another, always in UTF-8 whatever the locale.
class ScriptOutput {
public:
    ScriptOutput(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    // "Msg 2627, SQLSTATE 23000: Violation of PRIMARY KEY constraint ..."
    void message(const db::Diagnostic& record);
    void line(const QString& text);
    void problem(const QString& text);
    void flush();

private:
    static void write(std::FILE* stream, const QString& text);

    std::FILE* out_;
    std::FILE* err_;
};

// The line message() prints for a record.
QString messageLine(const db::Diagnostic& record);

} // namespace zobran::osql
