#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace zobran::cli {

struct ParsedOptions;

// The connection values of a command: --server, --login and --database, or the remembered ones.
struct ConnectionValues {
    QString server;
    QString login;
    QString password;
    QString database;
};

// Asks for the password on the terminal without showing what is typed; nothing when there is no
// terminal to ask on.
using PasswordPrompt = std::function<std::optional<QString>(const QString& question)>;
std::optional<QString> askPasswordOnTerminal(const QString& question);

// The password never comes from the command line: it is ZOBRAN_PASSWORD when that is set, else the
// remembered one when the login is the remembered login, else what the prompt is told. Raises
// UsageError when the server, the login, the database (when needed) or the password is missing.
ConnectionValues connectionValues(const ParsedOptions& options, bool needsDatabase,
                                  const PasswordPrompt& prompt = askPasswordOnTerminal);

} // namespace zobran::cli
