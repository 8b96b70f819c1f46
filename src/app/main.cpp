#include "app/ButtonPictures.h"
#include "app/MainMenuWindow.h"
#include "basics/AppPath.h"
#include "basics/BackgroundRun.h"
#include "basics/NumericLocale.h"
#include "ui/ProgramWindow.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zobran::keepNumbersInCLocale(); // the application object took the user's locale
    QApplication::setApplicationName(QStringLiteral("ZOBRAN"));
    QApplication::setWindowIcon(zobran::buttonPicture(zobran::ButtonPicture::GenerateScript));

    zobran::AppPath() = QCoreApplication::applicationDirPath();

    int exitCode = 0;
    {
        zobran::MainMenuWindow mainMenu;
        mainMenu.show();
        // The program ends when the main window has been closed (after "Confirm To Exit ?").
        exitCode = app.exec();
    }
    zobran::destroyProgramWindows();
    // A run that was given up may still wait on a server that does not answer: the program ends
    // without tearing down what it uses.
    if (zobran::BackgroundRun::anyGivenUpStillWorking())
        std::_Exit(exitCode);
    return exitCode;
}
