#pragma once

#include <QStringList>

namespace zobran::cli {

// The exit statuses of every command.
constexpr int ExitSuccess = 0;
constexpr int ExitFailure = 1; // something failed; one line per failure went to standard error
constexpr int ExitUsage = 2;   // the command line does not fit the command

// Each command takes the words after its name; "--help" prints its usage and succeeds.
int generateCommand(const QStringList& words);
int importCommand(const QStringList& words);
int updateCommand(const QStringList& words);
int deleteCommand(const QStringList& words);

// The usage of the whole program, and of each command.
QString programUsage();

} // namespace zobran::cli
