// zobran-cli: the program's runs from a command line or a scheduler, on the same engine as its
// windows.

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"

#include "basics/AppError.h"
#include "basics/AppPath.h"
#include "basics/BackgroundRun.h"
#include "basics/NumericLocale.h"
#include "db/FreeTdsProtocol.h"
#include "db/KeychainSecretStore.h"
#include "db/SecretStore.h"

#include <QCoreApplication>

#include <cstdlib>
#include <functional>
#include <map>

int main(int argc, char** argv)
{
    using namespace zobran;
    using namespace zobran::cli;

    db::useSqlServerProtocolWithFreeTds(); // also for OSQL, which inherits the environment
    QCoreApplication app(argc, argv);
    keepNumbersInCLocale();
    QCoreApplication::setApplicationName(QStringLiteral("ZOBRAN"));
    takeProgramFolder(QStringLiteral(ZOBRAN_INSTALL_BINDIR));
    KeychainSecretStore secrets(QStringLiteral("ZOBRAN"));
    setSecretStore(&secrets);

    const QStringList args = QCoreApplication::arguments().mid(1);
    const std::map<QString, std::function<int(const QStringList&)>> commands{
        {QStringLiteral("generate"), generateCommand},
        {QStringLiteral("import"), importCommand},
        {QStringLiteral("update"), updateCommand},
        {QStringLiteral("delete"), deleteCommand},
    };
    if (args.isEmpty() || args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("help")) {
        printLine(programUsage());
        return args.isEmpty() ? ExitUsage : ExitSuccess;
    }
    const auto command = commands.find(args[0]);
    int status = ExitFailure;
    if (command == commands.end()) {
        printProblem(QStringLiteral("zobran-cli: unknown command \"%1\"\n").arg(args[0]) + programUsage());
        status = ExitUsage;
    } else {
        try {
            status = command->second(args.mid(1));
        } catch (const UsageError& e) {
            printProblem(QStringLiteral("zobran-cli %1: %2 (see zobran-cli %1 --help)")
                             .arg(args[0], QString::fromStdString(e.what())));
            status = ExitUsage;
        } catch (const std::exception& e) {
            printProblem(QStringLiteral("zobran-cli: ") + toAppError(e).description());
            status = ExitFailure;
        }
    }
    setSecretStore(nullptr);
    // A run that was given up may still wait on a server that does not answer.
    if (BackgroundRun::anyGivenUpStillWorking())
        std::_Exit(status);
    return status;
}
