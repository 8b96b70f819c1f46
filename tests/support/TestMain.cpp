#include "basics/NumericLocale.h"
#include "db/FreeTdsProtocol.h"

#include "basics/BackgroundRun.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

// Every test program runs its windows offscreen, so no display is needed, finds the ODBC driver
// registration of the test server, keeps its remembered settings in a folder of its own, and
// formats numbers and chooses FreeTDS's protocol as the program does whatever the locale and the
// environment.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ODBCSYSINI", ZOBRAN_TEST_SERVER_DIR "/odbc");
    zobran::db::useSqlServerProtocolWithFreeTds();
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    zobran::keepNumbersInCLocale(); // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // A run a test gave up may still wait on a server that does not answer, as in the program.
    if (zobran::BackgroundRun::anyGivenUpStillWorking())
        std::_Exit(result);
    return result;
}
