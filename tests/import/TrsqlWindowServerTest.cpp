#include "ImportServerSupport.h"
#include "support/ScriptBytes.h"
#include "support/StopCheck.h"
#include "support/TestServer.h"

#include "import_ui/DriveList.h"
#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "import_ui/OsqlOutputWindow.h"
#include "import_ui/TrsqlWindow.h"

#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include <csignal>

using namespace zobran;
using namespace zobran::test;

namespace {

class TrsqlWindowTest : public ImportWindowTest<TrsqlWindow> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        rememberTestServer(target.name());
        target.connection().execute("create table item (id integer, name varchar(50))");
        QDir(program.folder.path()).mkdir("scripts");
    }

    QString script(const QString& name, const QByteArray& bytes)
    {
        const QString path = program.path("scripts/" + name);
        writeBytes(path, bytes);
        return path;
    }

    // Connects with the remembered values and moves the folder list to the scripts.
    void connectAndOpenScripts(TrsqlWindow& w)
    {
        click(w, "CCONNECT");
        ASSERT_EQ(child<QLabel>(w, "Label4")->text(), "Connected");
        child<FolderList>(w, "Dir1")->setPath(program.path("scripts"));
    }

    void execute(TrsqlWindow& w, const QStringList& files)
    {
        select(child<FileList>(w, "File1"), files);
        scripted.answerYesNo(answer::Yes);
        click(w, "CExecute");
    }

    QStringList items() { return rowsOf(target.connection(), "select id, name from item order by id"); }

    PrivateDatabase target{"trsql"};
};

QColor textColor(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

TEST_F(TrsqlWindowTest, LoadShowsTheControlsTheRememberedValuesAndTheProgramFolder)
{
    writeBytes(program.path("b.KX"), "");
    writeBytes(program.path("a.sql"), "");
    writeBytes(program.path("C.Sql"), "");
    writeBytes(program.path("notes.txt"), "");
    withWindow([&](TrsqlWindow& w) {
        EXPECT_EQ(w.windowTitle(), "ZENTRA Script Update Utility [Ver 7.0 20081111]");
        const std::pair<const char*, const char*> captions[]
            = {{"Label1", "Connect to SQL Server Name"},
               {"Label5", "Database Name"},
               {"Label2", "Login ID"},
               {"Label3", "Password"},
               {"Label4", ""},
               {"LblBar", ""},
               {"Label6", "** Warning : Path & Script File Name Cannot Accept Space."}};
        for (const auto& [name, caption] : captions)
            EXPECT_EQ(child<QLabel>(w, name)->text(), caption) << name;
        EXPECT_EQ(child<QPushButton>(w, "CCONNECT")->text(), "&Connect");
        EXPECT_EQ(child<QPushButton>(w, "CExecute")->text(), "&Execute");
        EXPECT_EQ(child<QPushButton>(w, "CExit")->text(), "E&xit");
        EXPECT_EQ(box(w, "CServer")->text(), testServer().socketDir);
        EXPECT_EQ(box(w, "ConnTable")->text(), target.name());
        EXPECT_EQ(box(w, "CLogin")->text(), testServer().login);
        EXPECT_EQ(box(w, "CPassword")->text(), testServer().password);
        EXPECT_EQ(box(w, "CPassword")->echoMode(), QLineEdit::Password);

        auto* frame1 = child<QGroupBox>(w, "Frame1");
        EXPECT_FALSE(frame1->isEnabled());
        EXPECT_EQ(frame1->title(), "");
        for (const char* inside : {"Drive1", "Dir1", "File1", "CExecute", "LblBar", "Label6"})
            EXPECT_TRUE(frame1->isAncestorOf(child<QWidget>(w, inside))) << inside;
        EXPECT_EQ(child<FolderList>(w, "Dir1")->path(), program.folder.path());
        auto* files = child<FileList>(w, "File1");
        EXPECT_EQ(files->pattern(), "*.kx;*.sql");
        EXPECT_EQ(files->selectionMode(), QAbstractItemView::ExtendedSelection);
        EXPECT_EQ(texts(files), QStringList({"a.sql", "b.KX", "C.Sql"}));
    });
}

TEST_F(TrsqlWindowTest, ConnectRefusesAnEmptyBoxAndReportsAFailedConnection)
{
    withWindow([&](TrsqlWindow& w) {
        for (const char* name : {"CLogin", "CPassword", "ConnTable", "CServer"}) {
            const QString kept = box(w, name)->text();
            box(w, name)->clear();
            scripted.reset();
            click(w, "CCONNECT");
            ASSERT_EQ(scripted.calls().size(), 1u) << name;
            EXPECT_TRUE(scripted.wasShown("Invalid Completed Entry !!!", "Message", MsgIcon::Critical)) << name;
            EXPECT_EQ(ImportConnection(), nullptr) << name;
            box(w, name)->setText(kept);
        }

        box(w, "CPassword")->setText("wrong");
        scripted.reset();
        click(w, "CCONNECT");
        EXPECT_TRUE(scripted.wasShown("Error connection !!!", "Message", MsgIcon::Critical));
        EXPECT_EQ(child<QLabel>(w, "Label4")->text(), "Fail to Connect");
        EXPECT_EQ(textColor(child<QLabel>(w, "Label4")), QColor(Qt::red));
        EXPECT_FALSE(child<QGroupBox>(w, "Frame1")->isEnabled());
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "cpassword"), testServer().password)
            << "values that fail are not remembered";

        box(w, "CPassword")->setText(testServer().password);
        box(w, "ConnTable")->setText("scratch");
        click(w, "CCONNECT");
        EXPECT_EQ(child<QLabel>(w, "Label4")->text(), "Connected");
        EXPECT_EQ(textColor(child<QLabel>(w, "Label4")), QColor(Qt::blue));
        EXPECT_TRUE(child<QGroupBox>(w, "Frame1")->isEnabled());
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "conntable"), "scratch");
    });
    // The next opening starts disconnected again.
    withWindow([&](TrsqlWindow& w) {
        EXPECT_EQ(child<QLabel>(w, "Label4")->text(), "");
        EXPECT_FALSE(child<QGroupBox>(w, "Frame1")->isEnabled());
    });
}

TEST_F(TrsqlWindowTest, ExecuteAsksFirstAndWithoutFilesSaysSo)
{
    writeBytes(program.batchFile(), "left over\n");
    withWindow([&](TrsqlWindow& w) {
        connectAndOpenScripts(w);
        scripted.reset();
        scripted.answerYesNo(answer::No);
        click(w, "CExecute");
        EXPECT_EQ(scripted.calls().size(), 1u);
        EXPECT_TRUE(scripted.callsOf(PromptCall::Kind::YesNo)[0].text == "Confirm to Execute ?");
        EXPECT_EQ(scripted.callsOf(PromptCall::Kind::YesNo)[0].icon, MsgIcon::Question);
        EXPECT_TRUE(QFile::exists(program.batchFile())) << "No leaves the batch file alone";

        scripted.reset();
        execute(w, {});
        EXPECT_TRUE(scripted.wasShown("No File Execute.", "Message", MsgIcon::Critical));
        EXPECT_FALSE(QFile::exists(program.batchFile())) << "a confirmed run deletes the old batch file";
        EXPECT_TRUE(program.calls().isEmpty());
    });
}

TEST_F(TrsqlWindowTest, SelectedFilesRunInListOrderSqlThroughTheToolKxOverTheConnection)
{
    script("a.sql", "insert into item values (100, 'never run here')\r\n");
    script("b.KX",
           "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n  <INSERT INTO item (id,name) VALUES(2,'t\nwo')>\r\n");
    script("c.Sql", "");
    script("d.txt", "");
    withWindow([&](TrsqlWindow& w) {
        connectAndOpenScripts(w);
        // The database typed after connecting goes to the tool; KX statements keep to the connection.
        box(w, "ConnTable")->setText("typed_later");
        box(w, "CPassword")->setText("p w$");
        scripted.reset();
        // The first events handled after the click are those of the wait for the first file.
        bool lockedDuringTheRun = false, stayedOpen = false;
        QTimer::singleShot(0, &w, [&] {
            lockedDuringTheRun = !child<QPushButton>(w, "CExecute")->isEnabled()
                && !child<QPushButton>(w, "CCONNECT")->isEnabled() && !child<QPushButton>(w, "CExit")->isEnabled()
                && !child<FileList>(w, "File1")->isEnabled();
            w.close();
            stayedOpen = w.isVisible() && w.isLoaded();
        });
        execute(w, {"a.sql", "b.KX", "c.Sql"});
        EXPECT_TRUE(lockedDuringTheRun);
        EXPECT_TRUE(stayedOpen) << "the window stays while files run";
        EXPECT_TRUE(child<QPushButton>(w, "CExecute")->isEnabled());
        EXPECT_TRUE(child<QPushButton>(w, "CExit")->isEnabled());
        ASSERT_EQ(scripted.messages().size(), 1u) << scripted.calls().back();
        EXPECT_TRUE(scripted.wasShown("Import Done.", "Message", MsgIcon::Exclamation));
        EXPECT_EQ(child<QLabel>(w, "LblBar")->text(), "");

        const std::vector<QStringList> calls = program.callArguments();
        ASSERT_EQ(calls.size(), 2u);
        const QString server = testServer().socketDir, login = testServer().login;
        EXPECT_EQ(calls[0],
                  QStringList({"-U", login, "-P", "p w$", "-S", server, "-d", "typed_later", "-i",
                               program.path("scripts/a.sql")}));
        EXPECT_EQ(calls[1].last(), program.path("scripts/c.Sql"));
        // The tool's output was shown in a window of the program.
        OsqlOutputWindow* output = w.toolOutput().outputWindow();
        ASSERT_NE(output, nullptr);
        EXPECT_TRUE(output->isVisible());
        EXPECT_TRUE(output->text().contains("stand-in ran " + program.path("scripts/c.Sql")));
        EXPECT_TRUE(QFile::exists(program.batchFile()));
    });
    EXPECT_EQ(items(), QStringList({"1|one", "2|t\nwo"}));
    EXPECT_FALSE(QFile::exists(program.batchFile())) << "closing the window deletes the batch file";
    EXPECT_TRUE(errLogLines().isEmpty());
}

TEST_F(TrsqlWindowTest, FailuresAreCountedLoggedAndReportedAndTheRestStillRuns)
{
    script("fail.sql", "");
    script("mixed.kx",
           "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n<INSERT INTO nowhere VALUES(1)>\r\n"
           "<>\r\n<INSERT INTO item (id,name) VALUES(3,'three')>\r\n<INSERT INTO item (id,name) VALUES(4,\r\n");
    script("ok.sql", "");
    withWindow([&](TrsqlWindow& w) {
        connectAndOpenScripts(w);
        scripted.reset();
        execute(w, {"fail.sql", "mixed.kx", "ok.sql"});
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text,
                  "Import Done, but not everything was imported.\n\n1 script file(s) failed.\n"
                  "3 statement(s) of KX files failed.\nThe details are in the daily error log:\n"
                      + program.path("LOG/Err_" + QDate::currentDate().toString("ddMMyyyy") + ".Log"));
        EXPECT_EQ(scripted.messages()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(program.callArguments().size(), 2u) << "a failed file does not stop the run";
    });
    EXPECT_EQ(items(), QStringList({"1|one", "3|three"}));

    const QStringList log = errLogLines();
    ASSERT_EQ(log.size(), 4) << log.join("\n").toStdString();
    EXPECT_TRUE(log[0].contains(" Form[TRSQL] Sub[RunBatchAndWait] Code[1] Msg[OSQL ended with exit status 1 ["
                                + program.path("scripts/fail.sql") + "]: stand-in ran"))
        << log[0].toStdString();
    EXPECT_TRUE(log[0].contains("Invalid object name 'nowhere'.]")) << log[0].toStdString();
    // The driver's number and message, where the statement begins.
    EXPECT_TRUE(log[1].contains(" Form[TRSQL] Sub[ImportKXFile] Code[")) << log[1].toStdString();
    EXPECT_TRUE(log[1].contains("\"nowhere\" does not exist")) << log[1].toStdString();
    EXPECT_TRUE(log[1].endsWith("[" + program.path("scripts/mixed.kx") + ", line 2]]")) << log[1].toStdString();
    EXPECT_TRUE(log[2].endsWith(", line 3]]")) << log[2].toStdString();
    EXPECT_TRUE(log[3].contains("Code[5] Msg[The file ends inside a statement")) << log[3].toStdString();
    EXPECT_TRUE(log[3].endsWith(", line 5]]")) << log[3].toStdString();
}

TEST_F(TrsqlWindowTest, DamagedKxFilesChangeNoRowTheyShouldNotAndAreReported)
{
    const QString one = "<INSERT INTO item (id,name) VALUES(1,'caf\u00e9 \u20ac')>\r\n";
    const QString failedOne = "Import Done, but not everything was imported.\n\n1 statement(s) of KX files failed.\n"
                              "The details are in the daily error log:\n"
        + ImportFailureLog::logFilePath();
    const struct {
        const char* what;
        QByteArray bytes;
        QStringList items;
        QString told;
        QString logged; // the end of the one log line, when there is one
    } cases[] = {
        // Cut at the NUL the statement would delete every row.
        {"a NUL character",
         "<DELETE FROM item" + QByteArray(1, '\0')
             + " WHERE id = 1>\r\n<INSERT INTO item (id,name) VALUES(1,'one')>\r\n",
         {"1|one", "999|target"},
         failedOne,
         "at character 17; the server would run only the text before it, so it "
         "was not sent. [%1, line 1]]"},
        {"a missing \">\"",
         "<INSERT INTO item (id,name) VALUES(1,'one')\r\n<INSERT INTO item (id,name) VALUES(2,'two')>",
         {"2|two", "999|target"},
         failedOne,
         "the next line opened another statement before it ended, so it was not "
         "run. [%1, line 1]]"},
        {"text outside brackets",
         "<INSERT INTO item (id,name) VALUES(1,'one')>\r\nDELETE FROM item\r\n"
         "<INSERT INTO item (id,name) VALUES(2,'two')>\r\n",
         {"1|one", "2|two", "999|target"},
         failedOne,
         "outside any statement between \"<\" and \">\", so it was not "
         "run. [%1, line 2]]"},
        {"UTF-8 with a stray byte",
         one.toUtf8() + "<INSERT INTO item (id,name) VALUES(2,'it\x92s')>\r\n",
         {"999|target"},
         "Import Done, but not everything was imported.\n\n1 script file(s) failed.\n"
         "The details are in the daily error log:\n"
             + ImportFailureLog::logFilePath(),
         "line 2 holds a byte that is not (0x92 at byte offset 92); the file is refused whole [%1]]"},
        {"UTF-16 with its mark", utf16WithMark(one), {"1|caf\u00e9 \u20ac", "999|target"}, "Import Done.", {}},
        {"UTF-8 with its mark", utf8WithMark(one), {"1|caf\u00e9 \u20ac", "999|target"}, "Import Done.", {}},
    };
    for (const auto& c : cases) {
        target.connection().execute("delete from item");
        target.connection().execute("insert into item values (999, 'target')");
        QFile::remove(ImportFailureLog::logFilePath());
        const QString path = script("damaged.kx", c.bytes);
        withWindow([&](TrsqlWindow& w) {
            connectAndOpenScripts(w);
            scripted.reset();
            execute(w, {"damaged.kx"});
            ASSERT_EQ(scripted.messages().size(), 1u) << c.what;
            EXPECT_EQ(scripted.messages()[0].text, c.told) << c.what;
        });
        EXPECT_EQ(items(), c.items) << c.what;
        const QStringList log = errLogLines();
        ASSERT_EQ(log.size(), c.logged.isEmpty() ? 0 : 1) << c.what;
        if (!c.logged.isEmpty()) {
            EXPECT_TRUE(log[0].endsWith(c.logged.arg(path))) << c.what << ": " << log[0].toStdString();
        }
    }
}

TEST_F(TrsqlWindowTest, KxStatementsThatReturnRowsOrFailWhileReadingDoNotHoldUpTheNext)
{
    // The statements of a file share one statement handle: what one leaves open must not reach the next.
    script("rows.kx",
           "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n<INSERT INTO item (id,name) VALUES(2,'two')>\r\n"
           "<SELECT id, name FROM item>\r\n<INSERT INTO item (id,name) VALUES(3,'three')>\r\n"
           "<SELECT 10 / (id - 2) FROM item ORDER BY id>\r\n<INSERT INTO item (id,name) VALUES(4,'four')>\r\n");
    withWindow([&](TrsqlWindow& w) {
        connectAndOpenScripts(w);
        scripted.reset();
        execute(w, {"rows.kx"});
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_TRUE(scripted.messages()[0].text.contains("\n1 statement(s) of KX files failed."))
            << scripted.messages()[0].text.toStdString();
    });
    EXPECT_EQ(items(), QStringList({"1|one", "2|two", "3|three", "4|four"})) << "every row committed";
    ASSERT_EQ(errLogLines().size(), 1);
    EXPECT_TRUE(errLogLines()[0].contains("division by zero")) << errLogLines()[0].toStdString();
}

TEST_F(TrsqlWindowTest, KxStatementsWithoutAnOpenConnectionFailTheFile)
{
    script("b.kx", "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n");
    withWindow([&](TrsqlWindow& w) {
        connectAndOpenScripts(w);
        ImportConnection()->close();
        scripted.reset();
        execute(w, {"b.kx"});
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_TRUE(scripted.messages()[0].text.contains("1 script file(s) failed."))
            << scripted.messages()[0].text.toStdString();
    });
    ASSERT_EQ(errLogLines().size(), 1);
    EXPECT_TRUE(errLogLines()[0].contains("Sub[ImportKXFile] Code[3704]")) << errLogLines()[0].toStdString();
}

TEST_F(TrsqlWindowTest, TheFolderListFollowsTheDriveAndTheFileListFollowsTheFolder)
{
    withWindow([&](TrsqlWindow& w) {
        auto* drive = child<DriveList>(w, "Drive1");
        auto* dir = child<FolderList>(w, "Dir1");
        auto* files = child<FileList>(w, "File1");
        script("x.kx", "");
        dir->setPath(program.path("scripts"));
        EXPECT_EQ(files->path(), program.path("scripts"));
        EXPECT_EQ(texts(files), QStringList{"x.kx"});

        const int root = drive->findData(QDir::rootPath());
        ASSERT_GE(root, 0);
        drive->setCurrentIndex(root);
        emit drive->activated(root);
        EXPECT_EQ(dir->path(), QDir::rootPath());
        EXPECT_EQ(files->path(), QDir::rootPath());
    });
}

TEST_F(TrsqlWindowTest, StopEndsAnImportWithinASecondSaysHowFarItGotAndTheNextRunCompletes)
{
    const QString slowKx = script("slow.kx",
                                  "<INSERT INTO item (id,name) VALUES(1,'one')>\r\n<select pg_sleep(30)>\r\n"
                                  "<INSERT INTO item (id,name) VALUES(3,'three')>\r\n");
    const QString slowSql = script("slow.sql", ""); // the stand-in tool sleeps on a script so named
    script("quick.kx", "<INSERT INTO item (id,name) VALUES(5,'five')>\r\n");
    struct Case {
        const char* what;
        QString file;
        bool serverStopped; // the server process stops answering, so even a cancel goes unheard
        QString told;       // in the closing message
    };
    const std::vector<Case> cases{
        {"KX statement in flight", "slow.kx", false,
         "Stopped in " + slowKx + " after the statement at line 1: the rest of it"},
        {"script tool", "slow.sql", false, "Stopped in " + slowSql + ": the rest of it"},
        {"server process stopped", "quick.kx", true, "The server had not answered when the run was given up"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target.connection().execute("delete from item");
        withWindow([&](TrsqlWindow& w) {
            connectAndOpenScripts(w);
            long pid = 0;
            if (c.serverStopped) {
                pid = rowsOf(connectionOf(ImportConnection()), "select pg_backend_pid()").value(0).toLong();
                ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGSTOP), 0);
            }
            scripted.reset();
            select(child<FileList>(w, "File1"), {c.file});
            scripted.answerYesNo(answer::Yes);
            QTest::mouseClick(child<QPushButton>(w, "CExecute"), Qt::LeftButton);
            EXPECT_LT(stopAndTime(w), 1000) << "control is back within a second";
            ASSERT_EQ(scripted.messages().size(), 1u);
            EXPECT_TRUE(scripted.messages()[0].text.startsWith("Import stopped."))
                << scripted.messages()[0].text.toStdString();
            EXPECT_TRUE(scripted.messages()[0].text.contains(c.told)) << scripted.messages()[0].text.toStdString();
            EXPECT_FALSE(scripted.wasShown("Import Done.", "Message", MsgIcon::Exclamation));
            if (c.serverStopped) {
                ::kill(static_cast<pid_t>(pid), SIGCONT);
                // The run that was given up ends once the server answers, and lets the connection go.
                EXPECT_TRUE(QTest::qWaitFor([] { return !ImportConnection()->inUse(); }, 10000));
            }
            scripted.reset();
            execute(w, {"quick.kx"});
            EXPECT_TRUE(scripted.wasShown("Import Done.", "Message", MsgIcon::Exclamation));
        });
        EXPECT_TRUE(items().contains("5|five"));
        EXPECT_FALSE(items().contains("3|three")) << "nothing after the stop ran";
    }
}

TEST_F(TrsqlWindowTest, EveryOpeningStartsFromTheControlsAsBuilt)
{
    expectEveryOpeningStartsAlike();
}
