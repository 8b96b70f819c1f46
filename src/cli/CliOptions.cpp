#include "cli/CliOptions.h"

#include "cli/CliRun.h"

namespace zobran::cli {

QString ParsedOptions::value(const QString& name, const QString& fallback) const
{
    const QStringList found = values.value(name);
    return found.isEmpty() ? fallback : found.last();
}

int ParsedOptions::number(const QString& name, int fallback, int min) const
{
    if (!has(name))
        return fallback;
    bool ok = false;
    const int n = value(name).toInt(&ok);
    if (!ok || n < min)
        throw UsageError(
            QStringLiteral("--%1 takes a whole number from %2 up, not \"%3\"").arg(name).arg(min).arg(value(name)));
    return n;
}

ParsedOptions parseOptions(const QStringList& words, const QList<OptionRule>& rules)
{
    ParsedOptions parsed;
    bool optionsEnded = false;
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (optionsEnded || !word.startsWith(QStringLiteral("--"))) {
            parsed.operands << word;
            continue;
        }
        if (word == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = word.mid(2);
        QString inlineValue;
        bool hasInlineValue = false;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals >= 0) {
            inlineValue = name.mid(equals + 1);
            name.truncate(equals);
            hasInlineValue = true;
        }
        const auto rule = std::find_if(rules.begin(), rules.end(), [&](const OptionRule& s) { return s.name == name; });
        if (rule == rules.end())
            throw UsageError(QStringLiteral("unknown option --") + name);
        if (parsed.has(name) && !rule->repeatable)
            throw UsageError(QStringLiteral("--%1 is given more than once").arg(name));
        if (!rule->takesValue) {
            if (hasInlineValue)
                throw UsageError(QStringLiteral("--%1 takes no value").arg(name));
            parsed.values[name] << QString();
            continue;
        }
        if (hasInlineValue) {
            parsed.values[name] << inlineValue;
            continue;
        }
        if (i + 1 >= words.size())
            throw UsageError(QStringLiteral("--%1 needs a value").arg(name));
        parsed.values[name] << words[++i];
    }
    return parsed;
}

ParsedOptions parseCommandOptions(const QStringList& words, QList<OptionRule> rules)
{
    rules << OptionRule{QStringLiteral("server")} << OptionRule{QStringLiteral("login")}
          << OptionRule{QStringLiteral("help"), false};
    return parseOptions(words, rules);
}

bool printedHelp(const ParsedOptions& options, const QString& usage)
{
    if (!options.has(QStringLiteral("help")))
        return false;
    printLine(usage);
    return true;
}

} // namespace zobran::cli
