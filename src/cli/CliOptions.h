#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace zobran::cli {

// A command line that does not fit its command: exit status 2, with the reason.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& reason) : std::runtime_error(reason.toStdString()) {}
};

// One option a command takes: "--name VALUE", or "--name" alone when it is a switch; repeatable
// options keep every value in the order given.
struct OptionRule {
    QString name;
    bool takesValue = true;
    bool repeatable = false;
};

// A command's words after its name: the options by name, and the other words (files) in order.
struct ParsedOptions {
    QMap<QString, QStringList> values; // a switch has one empty value
    QStringList operands;

    bool has(const QString& name) const { return values.contains(name); }
    QString value(const QString& name, const QString& fallback = {}) const;
    QStringList all(const QString& name) const { return values.value(name); }
    // A whole number from min up (UsageError otherwise); fallback when the option is absent.
    int number(const QString& name, int fallback, int min) const;
};

// Raises UsageError for an option the command does not take, a value that is missing or an option
// given twice that may be given once. "--" ends the options; every word after it is an operand.
ParsedOptions parseOptions(const QStringList& words, const QList<OptionRule>& rules);

// A command's options: its own, and --server, --login and --help, which every command takes.
ParsedOptions parseCommandOptions(const QStringList& words, QList<OptionRule> rules);

// Prints the usage when --help was given; true then (the command is done).
bool printedHelp(const ParsedOptions& options, const QString& usage);

} // namespace zobran::cli
