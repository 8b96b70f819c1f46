#include "ImportServerSupport.h"
#include "support/StopCheck.h"
#include "support/TestServer.h"

#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "import_ui/TrupdateWindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>

#include <memory>
#include <thread>

using namespace zobran;
using namespace zobran::test;

namespace {

class TrupdateWindowTest : public ImportWindowTest<TrupdateWindow> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        rememberTestServer("not_for_this_window");
        for (const char* suffix : {"a", "b", "c"}) {
            databases.push_back(std::make_unique<PrivateDatabase>(suffix));
            databases.back()->connection().execute("create table item (id integer, name varchar(50))");
        }
        QDir(program.folder.path()).mkdir("scripts");
    }

    QString name(int i) const { return databases[std::size_t(i)]->name(); }
    QStringList items(int i)
    {
        return rowsOf(databases[std::size_t(i)]->connection(), "select id, name from item order by id");
    }

    void script(const QString& fileName, const QByteArray& bytes)
    {
        writeBytes(program.path("scripts/" + fileName), bytes);
    }

    void connectAndChoose(TrupdateWindow& w, const QStringList& chosenDatabases, const QStringList& files)
    {
        click(w, "CCONNECT");
        select(child<QListWidget>(w, "List1"), chosenDatabases);
        child<FolderList>(w, "Dir1")->setPath(program.path("scripts"));
        select(child<FileList>(w, "File1"), files);
    }

    void run(TrupdateWindow& w)
    {
        scripted.answerYesNo(answer::Yes);
        click(w, "CRUN");
    }

    static QListWidget* listLog(TrupdateWindow& w) { return child<QListWidget>(w, "ListLog"); }

    std::vector<std::unique_ptr<PrivateDatabase>> databases;
};

} // namespace

TEST_F(TrupdateWindowTest, LoadShowsTheControlsAndTheRememberedServerValues)
{
    withWindow([&](TrupdateWindow& w) {
        EXPECT_EQ(w.windowTitle(), "Script Update");
        EXPECT_EQ(child<QGroupBox>(w, "Frame1")->title(), "SQL Server ");
        EXPECT_EQ(child<QLabel>(w, "Label1_0")->text(), "ServerName");
        EXPECT_EQ(child<QLabel>(w, "Label1_1")->text(), "Login");
        EXPECT_EQ(child<QLabel>(w, "Label1_2")->text(), "Password");
        EXPECT_EQ(child<QLabel>(w, "Label2")->text(), "Script File Location");
        EXPECT_EQ(child<QPushButton>(w, "CCONNECT")->text(), "&Connect");
        EXPECT_EQ(child<QPushButton>(w, "CRUN")->text(), "Run Script");
        EXPECT_EQ(child<QPushButton>(w, "Command1")->text(), "&Exit");
        EXPECT_EQ(box(w, "CServer")->text(), testServer().socketDir);
        EXPECT_EQ(box(w, "CLogin")->text(), testServer().login);
        EXPECT_EQ(box(w, "CPassword")->text(), testServer().password);
        EXPECT_EQ(box(w, "CPassword")->echoMode(), QLineEdit::Password);
        EXPECT_EQ(w.findChild<QLineEdit*>("ConnTable"), nullptr);

        EXPECT_EQ(child<QListWidget>(w, "List1")->count(), 0);
        EXPECT_EQ(child<QListWidget>(w, "List1")->selectionMode(), QAbstractItemView::ExtendedSelection);
        EXPECT_TRUE(child<QPushButton>(w, "CRUN")->isEnabled());
        auto* frame2 = child<QGroupBox>(w, "Frame2");
        for (const char* inside : {"Label2", "Drive1", "Dir1", "File1", "CRUN", "Command1"})
            EXPECT_TRUE(frame2->isAncestorOf(child<QWidget>(w, inside))) << inside;
        EXPECT_TRUE(listLog(w)->isHidden());
        EXPECT_EQ(listLog(w)->geometry(), frame2->geometry());
        EXPECT_TRUE(child<QGroupBox>(w, "Frame3")->isHidden());
        EXPECT_EQ(child<QGroupBox>(w, "Frame3")->title(), "Frame3");
        EXPECT_TRUE(child<QGroupBox>(w, "Frame3")->isAncestorOf(child<QListWidget>(w, "ListDataFile")));
        EXPECT_EQ(child<FolderList>(w, "Dir1")->path(), QDir::currentPath());
        EXPECT_EQ(child<FileList>(w, "File1")->pattern(), "*.sql;*.kx");
    });
}

TEST_F(TrupdateWindowTest, ConnectListsTheOnlineUserDatabasesByName)
{
    withWindow([&](TrupdateWindow& w) {
        box(w, "CPassword")->setText("wrong");
        click(w, "CCONNECT");
        EXPECT_TRUE(scripted.wasShown("Connection Fail !!!", "Message", MsgIcon::Critical));
        EXPECT_FALSE(child<QPushButton>(w, "CRUN")->isEnabled());
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "cpassword"), testServer().password);

        box(w, "CPassword")->setText(testServer().password);
        SaveSetting(SettingsApplication, SettingsSection, "cServer", "elsewhere");
        scripted.reset();
        click(w, "CCONNECT");
        EXPECT_TRUE(scripted.calls().empty());
        EXPECT_TRUE(child<QPushButton>(w, "CRUN")->isEnabled());
        const QStringList listed = texts(child<QListWidget>(w, "List1"));
        for (const QString& wanted : QStringList{"scratch", "shop_01", "shop_02", "shop_hq", name(0), name(1), name(2)})
            EXPECT_TRUE(listed.contains(wanted)) << wanted.toStdString();
        // The login's own database (shown as master), the system and the template databases are left out.
        for (const QString& unwanted : QStringList{"master", "zobran", "postgres", "template0", "template1",
                                                   "zt_template_empty", "zt_template_shop"})
            EXPECT_FALSE(listed.contains(unwanted)) << unwanted.toStdString();
        QStringList sorted = listed;
        sorted.sort();
        EXPECT_EQ(listed, sorted);
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "cserver"), testServer().socketDir);
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "conntable"), "not_for_this_window");
    });
}

TEST_F(TrupdateWindowTest, ChoicesAreCheckedBeforeTheQuestion)
{
    script("one.sql", "");
    withWindow([&](TrupdateWindow& w) {
        connectAndChoose(w, {}, {"one.sql"});
        scripted.reset();
        click(w, "CRUN");
        ASSERT_EQ(scripted.calls().size(), 1u);
        EXPECT_TRUE(scripted.wasShown("No Database Selected !!!", "Message", MsgIcon::Critical));

        select(child<QListWidget>(w, "List1"), {name(0)});
        child<FileList>(w, "File1")->clearSelection();
        scripted.reset();
        click(w, "CRUN");
        ASSERT_EQ(scripted.calls().size(), 1u);
        EXPECT_TRUE(scripted.wasShown("No Script Files Selected !!!", "Message", MsgIcon::Critical));
        EXPECT_EQ(texts(child<QListWidget>(w, "ListDataFile")), QStringList{name(0)});

        select(child<FileList>(w, "File1"), {"one.sql"});
        scripted.reset();
        scripted.answerYesNo(answer::No);
        click(w, "CRUN");
        ASSERT_EQ(scripted.calls().size(), 1u);
        EXPECT_EQ(scripted.calls()[0].text, "Start Execute Script ?");
        EXPECT_EQ(scripted.calls()[0].title, "Question");
        EXPECT_TRUE(listLog(w)->isHidden());
        EXPECT_TRUE(program.calls().isEmpty());
    });
}

TEST_F(TrupdateWindowTest, EveryFileRunsAgainstEveryDatabaseInTurn)
{
    script("one.sql", "");
    script("two.kx",
           "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n <INSERT INTO item (id,name) VALUES(2,'\r\n  two')>\r\n");
    writeBytes(program.batchFile(), "left over\n");
    withWindow([&](TrupdateWindow& w) {
        connectAndChoose(w, {name(0), name(1), name(2)}, {"one.sql", "two.kx"});
        scripted.reset();
        // The first events handled after the click are those of the wait for the first file.
        bool logShownAndControlsLocked = false;
        QTimer::singleShot(0, &w, [&] {
            logShownAndControlsLocked = listLog(w)->isVisible() && !child<QPushButton>(w, "CRUN")->isEnabled()
                && !child<QPushButton>(w, "CCONNECT")->isEnabled() && !child<QListWidget>(w, "List1")->isEnabled();
        });
        run(w);
        EXPECT_TRUE(logShownAndControlsLocked);
        EXPECT_TRUE(child<QPushButton>(w, "CRUN")->isEnabled());
        ASSERT_EQ(scripted.messages().size(), 1u) << scripted.calls().back();
        EXPECT_TRUE(scripted.wasShown("Patching Completed.", "Message", MsgIcon::Exclamation));
        EXPECT_TRUE(listLog(w)->isHidden()) << "hidden again after the message";
        QStringList expected;
        for (int i = 0; i < 3; ++i)
            expected << "Open Database : " + name(i) << "Updating Script File..[one.sql]"
                     << "Updating Script File..[two.kx]";
        EXPECT_EQ(texts(listLog(w)), expected);
        EXPECT_EQ(w.findChild<QWidget*>("OsqlOutput"), nullptr) << "the tool runs unseen";
    });
    const std::vector<QStringList> calls = program.callArguments();
    ASSERT_EQ(calls.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(calls[std::size_t(i)],
                  QStringList({"-U", testServer().login, "-P", testServer().password, "-S", testServer().socketDir,
                               "-d", name(i), "-i", program.path("scripts/one.sql")}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(items(i), QStringList({"1|one", "2|  two"})) << i;
    EXPECT_TRUE(QFile::exists(program.batchFile())) << "the last batch file stays";
    EXPECT_EQ(readBytes(program.batchFile()).count('\n'), 1);
    EXPECT_TRUE(errLogLines().isEmpty());
}

TEST_F(TrupdateWindowTest, ADatabaseThatCannotBeOpenedStopsTheRunAndSaysSo)
{
    script("two.kx", "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n");
    withWindow([&](TrupdateWindow& w) {
        connectAndChoose(w, {name(0), name(1), name(2)}, {"two.kx"});
        databases[1]->dropNow();
        scripted.reset();
        run(w);
        EXPECT_EQ(texts(listLog(w)),
                  QStringList({"Open Database : " + name(0), "Updating Script File..[two.kx]",
                               "Cannot Open Database : " + name(1) + " -- the run stops here"}));
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_TRUE(scripted.messages()[0].text.startsWith(
            "Patching stopped at database " + name(1)
            + ": it could not be opened, so it and the databases "
              "after it were not updated.\n\nThe details are in the daily error log:\n"))
            << scripted.messages()[0].text.toStdString();
        EXPECT_EQ(scripted.messages()[0].icon, MsgIcon::Critical);
    });
    EXPECT_EQ(items(0), QStringList{"1|one"});
    EXPECT_EQ(items(2), QStringList{}) << "databases after it are not processed";
    ASSERT_EQ(errLogLines().size(), 1);
    EXPECT_TRUE(errLogLines()[0].contains(" Form[TRUPDATE] Sub[OpenData] Code[")) << errLogLines()[0].toStdString();
    EXPECT_TRUE(errLogLines()[0].contains("Msg[Database " + name(1) + ": ")) << errLogLines()[0].toStdString();
}

TEST_F(TrupdateWindowTest, ALostConnectionStopsTheRunAsADatabaseThatCannotBeOpened)
{
    // A KX file whose server session is ended while its fourth statement runs, and a script the
    // tool reports as having lost its connection.
    const QString marker = uniqueName("waits", "here");
    script("lost.kx",
           "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n<INSERT INTO item (id,name) VALUES(2,'two')>\r\n"
           "<INSERT INTO item (id,name) VALUES(3,'three')>\r\n<SELECT pg_sleep(30) AS "
               + marker.toUtf8()
               + ">\r\n<INSERT INTO item (id,name) VALUES(4,\r\n'four')>\r\n"
                 "<INSERT INTO item (id,name) VALUES(5,'five')>\r\nnot a statement\r\n");
    script("lost.sql", "");
    script("z_after.kx", "<INSERT INTO item (id,name) VALUES(9,'after')>\r\n"); // runs after either, in list order
    const struct {
        const char* file;
        QString failedLine;
        QString told;   // the closing message's start
        QString logged; // in its one log line
    } cases[] = {
        {"lost.kx", "    ** Failed: the connection was lost after 3 statement(s); 2 were not run",
         "Patching stopped at database %1: the connection to it was lost, so the rest of it and the databases after "
         "it were not updated.\n\n1 statement(s) of KX files failed.\n2 statement(s) of KX files were not run: the "
         "connection was lost.\nThe details are in the daily error log:\n",
         "Sub[ImportKXFile] Code[35] Msg[The connection was lost at the statement on line 4 of %1, after 3 "
         "statement(s) of the file had run; the file stopped there and its 2 later statement(s) were not run: 57P01: "},
        {"lost.sql", "    ** Failed: OSQL ended with exit status 2",
         "Patching stopped at database %1: the connection to it was lost, so the rest of it and the databases after "
         "it were not updated.\n\n1 script file(s) failed.\nThe details are in the daily error log:\n",
         "Sub[RunBatchAndWait] Code[2] Msg[OSQL ended with exit status 2 [%1]: stand-in ran"},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 2; ++i)
            databases[std::size_t(i)]->connection().execute("delete from item");
        QFile::remove(ImportFailureLog::logFilePath());
        std::thread ender;
        if (QString(c.file).endsWith(".kx"))
            ender = std::thread([&] {
                const int session = sessionRunning(name(0), marker);
                if (session != 0)
                    terminateSession(session);
            });
        withWindow([&](TrupdateWindow& w) {
            connectAndChoose(w, {name(0), name(1)}, {c.file, "z_after.kx"});
            scripted.reset();
            run(w);
            EXPECT_EQ(texts(listLog(w)),
                      QStringList({"Open Database : " + name(0), "Updating Script File..[" + QString(c.file) + "]",
                                   c.failedLine, "Connection Lost : " + name(0) + " -- the run stops here"}))
                << c.file;
            ASSERT_EQ(scripted.messages().size(), 1u);
            EXPECT_TRUE(scripted.messages()[0].text.startsWith(QString(c.told).arg(name(0))))
                << scripted.messages()[0].text.toStdString();
        });
        if (ender.joinable())
            ender.join();
        EXPECT_EQ(items(0),
                  QString(c.file).endsWith(".kx") ? QStringList({"1|one", "2|two", "3|three"}) : QStringList())
            << c.file;
        EXPECT_EQ(items(1), QStringList()) << "the databases after it are not processed";
        const QStringList log = errLogLines();
        ASSERT_EQ(log.size(), 1) << c.file << ": " << log.join('\n').toStdString();
        EXPECT_TRUE(log[0].contains(QString(c.logged).arg(program.path("scripts/" + QString(c.file)))))
            << log[0].toStdString();
    }
}

TEST_F(TrupdateWindowTest, AFailedFileGetsALogLineAfterItsOwnAndTheRunGoesOn)
{
    script("fail.sql", "");
    script("half.kx", "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n<INSERT INTO nowhere VALUES(1)>\r\n");
    withWindow([&](TrupdateWindow& w) {
        connectAndChoose(w, {name(0), name(1)}, {"fail.sql", "half.kx"});
        scripted.reset();
        run(w);
        QStringList expected;
        for (int i = 0; i < 2; ++i)
            expected << "Open Database : " + name(i) << "Updating Script File..[fail.sql]"
                     << "    ** Failed: OSQL ended with exit status 1"
                     << "Updating Script File..[half.kx]"
                     << "    ** Failed: 1 of 2 statement(s) failed";
        EXPECT_EQ(texts(listLog(w)), expected);
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text,
                  "Patching Completed, but not everything was applied.\n\n2 script file(s) failed.\n"
                  "2 statement(s) of KX files failed.\nThe details are in the daily error log:\n"
                      + ImportFailureLog::logFilePath());
    });
    EXPECT_EQ(items(0), QStringList{"1|one"});
    EXPECT_EQ(items(1), QStringList{"1|one"});
    const QStringList log = errLogLines();
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[0].contains("Form[TRUPDATE] Sub[RunBatchAndWait] Code[1]")) << log[0].toStdString();
    EXPECT_TRUE(log[1].contains("Form[TRUPDATE] Sub[ImportKXFile]")) << log[1].toStdString();
}

TEST_F(TrupdateWindowTest, TheLogScrollsToItsNewestLine)
{
    QStringList files;
    for (int i = 0; i < 40; ++i) {
        files << QString("f%1.kx").arg(i, 2, 10, QChar('0'));
        script(files.last(), "");
    }
    withWindow([&](TrupdateWindow& w) {
        connectAndChoose(w, {name(0)}, files);
        run(w);
        ASSERT_EQ(listLog(w)->count(), 41);
        ASSERT_GT(listLog(w)->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(listLog(w)->verticalScrollBar()->value(), listLog(w)->verticalScrollBar()->maximum());
    });
}

TEST_F(TrupdateWindowTest, StopEndsTheRunOverEveryDatabaseWithinASecondAndTheNextRunCompletes)
{
    script("slow.kx",
           "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n<select pg_sleep(30)>\r\n"
           "<INSERT INTO item (id,name) VALUES(3,'three')>\r\n");
    script("quick.kx", "<INSERT INTO item (id,name) VALUES(5,'five')>\r\n");
    for (const int atATime : {1, 3}) {
        SCOPED_TRACE(atATime);
        for (int i = 0; i < 3; ++i)
            databases[std::size_t(i)]->connection().execute("delete from item");
        withWindow([&](TrupdateWindow& w) {
            child<QSpinBox>(w, "SpinAtATime")->setValue(atATime);
            connectAndChoose(w, {name(0), name(1), name(2)}, {"slow.kx"});
            scripted.reset();
            scripted.answerYesNo(answer::Yes);
            QTest::mouseClick(child<QPushButton>(w, "CRUN"), Qt::LeftButton);
            EXPECT_LT(stopAndTime(w, 500), 1000) << "control is back within a second";
            ASSERT_EQ(scripted.messages().size(), 1u);
            const QString told = scripted.messages()[0].text;
            EXPECT_TRUE(told.startsWith("Patching stopped.\n\nDatabases finished: 0 of 3.")) << told.toStdString();
            EXPECT_EQ(told.count("after the statement at line 1"), atATime) << told.toStdString();
            EXPECT_FALSE(told.contains("Patching Completed"));

            select(child<FileList>(w, "File1"), {"quick.kx"});
            scripted.reset();
            run(w);
            EXPECT_TRUE(scripted.wasShown("Patching Completed.", "Message", MsgIcon::Exclamation));
        });
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(items(i).contains("5|five")) << i;
            EXPECT_FALSE(items(i).contains("3|three")) << i;
        }
    }
}

TEST_F(TrupdateWindowTest, OnAFailedDatabaseTheRunCanGoOnWithTheOthersSeveralAtATime)
{
    script("two.kx", "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n");
    withWindow([&](TrupdateWindow& w) {
        EXPECT_EQ(child<QGroupBox>(w, "Frame4")->title(), "Run");
        EXPECT_EQ(child<QLabel>(w, "Label7")->text(), "Databases at a time");
        EXPECT_EQ(child<QLabel>(w, "Label8")->text(), "On a failed database");
        auto* onFailure = child<QComboBox>(w, "ComboOnFailure");
        EXPECT_EQ(onFailure->currentText(), "stop") << "as the window always did";
        EXPECT_EQ(child<QSpinBox>(w, "SpinAtATime")->value(), 1);
        onFailure->setCurrentIndex(1);
        child<QSpinBox>(w, "SpinAtATime")->setValue(2);
        connectAndChoose(w, {name(0), name(1), name(2)}, {"two.kx"});
        databases[1]->dropNow();
        scripted.reset();
        run(w);
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_TRUE(scripted.messages()[0].text.startsWith(
            "Patching Completed, but these databases could not be updated (not opened, or their connection was "
            "lost): "
            + name(1)))
            << scripted.messages()[0].text.toStdString();
        EXPECT_TRUE(
            texts(listLog(w))
                .contains("[" + name(1) + "] Cannot Open Database : " + name(1) + " -- the run goes on without it"));
        const auto asked = scripted.callsOf(PromptCall::Kind::YesNo);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_TRUE(asked[1].text.startsWith("The run's report is in ")) << "offered at the end";
    });
    EXPECT_EQ(items(0), QStringList{"1|one"});
    EXPECT_EQ(items(2), QStringList{"1|one"}) << "the database after the failed one was updated";
    withWindow([&](TrupdateWindow& w) {
        EXPECT_EQ(child<QComboBox>(w, "ComboOnFailure")->currentIndex(), 1) << "remembered";
        EXPECT_EQ(child<QSpinBox>(w, "SpinAtATime")->value(), 2);
    });
}

TEST_F(TrupdateWindowTest, EveryOpeningStartsFromTheControlsAsBuilt)
{
    expectEveryOpeningStartsAlike();
}
