#include "app/ButtonPictures.h"
#include "app/MainMenuWindow.h"
#include "basics/AppError.h"
#include "basics/AppPath.h"
#include "basics/BackgroundRun.h"
#include "basics/NumericLocale.h"
#include "db/DriverRegistration.h"
#include "db/FreeTdsProtocol.h"
#include "db/KeychainSecretStore.h"
#include "db/SecretStore.h"
#include "ui/ProgramWindow.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

// zobran --register-driver: registers the installed SQL Server driver under "SQL Server" in the
// user's own ODBC driver list, says what it did, and ends. It needs no display.
int registerDriver()
{
    try {
        const zobran::db::DriverRegistration done = zobran::db::registerSqlServerDriver(
            QStringLiteral("/"), zobran::db::userDriverListPath(), zobran::db::systemDriverListPath());
        std::fprintf(done.inEffect ? stdout : stderr, "%s\n", done.report.toLocal8Bit().constData());
        return done.inEffect ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zobran: %s\n", zobran::toAppError(e).description().toLocal8Bit().constData());
        return 1;
    }
}

} // namespace

#include <cstdlib>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--register-driver") == 0)
            return registerDriver();

    zobran::db::useSqlServerProtocolWithFreeTds(); // also for OSQL, which inherits the environment
    QApplication app(argc, argv);
    zobran::keepNumbersInCLocale(); // the application object took the user's locale
    QApplication::setApplicationName(QStringLiteral("ZOBRAN"));
    QApplication::setWindowIcon(zobran::buttonPicture(zobran::ButtonPicture::GenerateScript));
    zobran::takeProgramFolder(QStringLiteral(ZOBRAN_INSTALL_BINDIR));

    zobran::KeychainSecretStore secrets(QStringLiteral("ZOBRAN"));
    zobran::setSecretStore(&secrets);

    int exitCode = 0;
    {
        zobran::MainMenuWindow mainMenu;
        mainMenu.show();
        // The program ends when the main window has been closed (after "Confirm To Exit ?").
        exitCode = app.exec();
    }
    zobran::destroyProgramWindows();
    zobran::setSecretStore(nullptr);
    // A run that was given up may still wait on a server that does not answer: the program ends
    // without tearing down what it uses.
    if (zobran::BackgroundRun::anyGivenUpStillWorking())
        std::_Exit(exitCode);
    return exitCode;
}
