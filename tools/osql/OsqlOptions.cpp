#include "osql/OsqlOptions.h"

namespace zobran::osql {

namespace {

QString* valueOf(OsqlOptions& options, const QString& name)
{
    if (name == QLatin1String("-U"))
        return &options.login;
    if (name == QLatin1String("-P"))
        return &options.password;
    if (name == QLatin1String("-S"))
        return &options.server;
    if (name == QLatin1String("-d"))
        return &options.database;
    if (name == QLatin1String("-i"))
        return &options.inputFile;
    return nullptr;
}

[[noreturn]] void refuse(const QString& why)
{
    throw UsageError(why.toStdString());
}

} // namespace

OsqlOptions parseCommandLine(const QStringList& args)
{
    OsqlOptions options;
    bool haveInput = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("-?")) {
            options.showUsage = true;
            continue;
        }
        QString* value = valueOf(options, arg);
        if (!value) {
            if (arg.startsWith(QLatin1Char('-')))
                refuse(QStringLiteral("unknown switch %1").arg(arg));
            refuse(QStringLiteral("unexpected argument \"%1\" (a value with blanks must be one argument)").arg(arg));
        }
        if (i + 1 >= args.size())
            refuse(QStringLiteral("the switch %1 needs a value").arg(arg));
        *value = args[++i];
        if (value == &options.inputFile)
            haveInput = true;
    }
    if (!options.showUsage && !haveInput)
        refuse(QStringLiteral("no input file: give it with -i"));
    return options;
}

std::vector<qsizetype> passwordArguments(const QStringList& args)
{
    std::vector<qsizetype> positions;
    OsqlOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-?"))
            continue;
        const QString* value = valueOf(options, args[i]);
        if (!value)
            continue; // refused by the parser, but what follows may still be a password
        if (i + 1 >= args.size())
            break;
        if (value == &options.password)
            positions.push_back(i + 1);
        ++i;
    }
    return positions;
}

QString usageText()
{
    return QStringLiteral("usage: OSQL -U login -P password -S server -d database -i input_file\n"
                          "       OSQL -?\n"
                          "  -U login       login name\n"
                          "  -P password    password (an empty argument for none)\n"
                          "  -S server      server to connect to\n"
                          "  -d database    database to use\n"
                          "  -i input_file  script to run: batches end at lines that read GO (or GO count)\n"
                          "  -?             show this text\n"
                          "Exit status: 0 when every batch succeeded, 1 when one failed or the login was refused,\n"
                          "2 when the connection was lost during the run (the rest of the script did not run).\n");
}

} // namespace zobran::osql
