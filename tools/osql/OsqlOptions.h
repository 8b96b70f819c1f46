#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace zobran::osql {

// What the command line asks for: OSQL -U login -P password -S server -d database -i file.
// Each switch takes the next argument as its value, verbatim (an empty argument is an empty value,
// one that begins with "-" is still the value). A switch given twice keeps its last value.
struct OsqlOptions {
    QString login;
    QString password;
    QString server;
    QString database;
    QString inputFile;
    bool showUsage = false; // -? : print the usage and do nothing else
};

// A command line the program cannot follow; what() says why, in a sentence for the user.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The switches of args (the program name not included). Raises UsageError for an unknown switch,
// a switch without its value, a stray argument, or a missing -i (there is no interactive mode).
OsqlOptions parseCommandLine(const QStringList& args);

// Where the command line holds passwords: the positions in args of every value parseCommandLine
// would take for -P (a switch given twice has two), read on past arguments it would refuse, so a
// mistyped command line hides its password too. Never raises.
std::vector<qsizetype> passwordArguments(const QStringList& args);

// The short help text, lines ended by "\n".
QString usageText();

} // namespace zobran::osql
