#include "app/ButtonPictures.h"
#include "app/KeychainSecretStore.h"
#include "app/MainMenuWindow.h"
#include "basics/AppPath.h"
#include "basics/NumericLocale.h"
#include "db/SecretStore.h"
#include "ui/ProgramWindow.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

// An installed program keeps its files (Export, LOG, TmExe.bat) in the user's data folder.
void chooseFilesFolder()
{
    zobran::AppPath() = QCoreApplication::applicationDirPath();
    if (!zobran::isInstalledProgramFolder(zobran::AppPath(), QStringLiteral(ZOBRAN_INSTALL_BINDIR)))
        return;
    zobran::AppDataPath() = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    // A folder that cannot be made shows as the first file the program fails to write there.
    QDir().mkpath(zobran::AppDataPath());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zobran::keepNumbersInCLocale(); // the application object took the user's locale
    QApplication::setApplicationName(QStringLiteral("ZOBRAN"));
    QApplication::setWindowIcon(zobran::buttonPicture(zobran::ButtonPicture::GenerateScript));
    chooseFilesFolder();

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
    return exitCode;
}
