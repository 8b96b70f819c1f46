#include "MgenTestSupport.h"
#include "support/SilentServer.h"
#include "support/StopCheck.h"
#include "support/TestServer.h"

#include "errors/ErrorReport.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>

using namespace zobran;
using namespace zobran::test;

namespace {

QString gridCell(MgenWindow& w, int row, int column)
{
    QAbstractItemModel* model = w.findChild<QTableView*>("DGrid")->model();
    return model->data(model->index(row, column)).toString();
}

} // namespace

TEST_F(MgenWindowTest, LoadFillsTheFieldsFromTheRememberedValuesAndRunsAgainAtEveryOpening)
{
    withWindow([&](MgenWindow& w) {
        EXPECT_EQ(w.windowTitle(), "Utility - Generate Script");
        EXPECT_EQ(field(w, 0)->text(), "SQL Server");
        EXPECT_TRUE(field(w, 0)->isReadOnly());
        EXPECT_EQ(field(w, 1)->text(), testServer().socketDir);
        EXPECT_EQ(field(w, 2)->text(), database());
        EXPECT_EQ(field(w, 3)->text(), testServer().login);
        EXPECT_EQ(field(w, 4)->text(), testServer().password);
        EXPECT_EQ(field(w, 4)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(field(w, 3)->maxLength(), 128);
        EXPECT_EQ(field(w, 4)->maxLength(), 128);
        EXPECT_EQ(field(w, 7)->text(), "1");
        EXPECT_EQ(field(w, 8)->text(), "0");
        auto* lv = child<QTreeWidget>(w, "LV");
        EXPECT_EQ(lv->headerItem()->text(0), "SQL");
        EXPECT_EQ(lv->headerItem()->text(1), "Table Name");
        EXPECT_EQ(lv->columnWidth(0), 7000 / 15);
        auto* grid = child<QTableView>(w, "DGrid");
        EXPECT_EQ(grid->geometry(), lv->geometry());
        EXPECT_TRUE(grid->isHidden());
        EXPECT_TRUE(child<QCheckBox>(w, "Check1_0")->isChecked());
        field(w, 7)->setText("5");
        addQuery(w, "select 1 as a", "t");
    });
    withWindow([&](MgenWindow& w) {
        EXPECT_EQ(field(w, 7)->text(), "1");
        EXPECT_EQ(child<QTreeWidget>(w, "LV")->topLevelItemCount(), 0);
        EXPECT_EQ(child<QTreeWidget>(w, "LV")->columnCount(), 2);
    });
    EXPECT_EQ(scripted.modals().size(), 2u) << "closing without connecting shows no error window";
}

TEST_F(MgenWindowTest, ButtonsCheckTheConnectionFieldsInOrderAndPutTheFocusThere)
{
    withWindow([&](MgenWindow& w) {
        const char* refusals[] = {"Invalid Driver !!!", "Invalid Server Name !!!", "Invalid Database Name !!!",
                                  "Invalid User ID !!!", "Invalid Password !!!"};
        for (int i = 4; i >= 0; --i) {
            field(w, i)->setText("");
            scripted.reset();
            click(cBut(w, MgenWindow::ConnectButton));
            ASSERT_EQ(scripted.messages().size(), 1u);
            EXPECT_TRUE(scripted.wasShown(refusals[i], "Message", MsgIcon::Critical)) << scripted.calls().front();
            EXPECT_EQ(w.focusWidget(), field(w, i));
        }
        // A text of blanks counts as filled.
        for (int i = 0; i < 5; ++i)
            field(w, i)->setText(" ");
        scripted.reset();
        child<QPlainTextEdit>(w, "SQLField")->clear();
        click(cBut(w, MgenWindow::AddQueryButton));
        EXPECT_TRUE(scripted.wasShown("Invalid SQL !!!", "Message", MsgIcon::Critical));
        EXPECT_EQ(w.focusWidget(), child<QPlainTextEdit>(w, "SQLField"));
    });
}

TEST_F(MgenWindowTest, TheSqlAndTableChecksDependOnTheButton)
{
    setup().execute("drop table if exists mg_exec; drop table if exists mg_listed");
    setup().execute("create table mg_listed (a int)");
    withWindow([&](MgenWindow& w) {
        for (int b : {MgenWindow::AddQueryButton, MgenWindow::RefreshGridButton, MgenWindow::ExecuteSqlButton}) {
            scripted.reset();
            click(cBut(w, b));
            EXPECT_TRUE(scripted.wasShown("Invalid SQL !!!", "Message", MsgIcon::Critical)) << b;
        }
        scripted.reset();
        click(cBut(w, MgenWindow::ConnectButton));
        EXPECT_TRUE(scripted.calls().empty()) << "Connect needs no SQL";
        EXPECT_GT(child<QListWidget>(w, "LTable")->count(), 0);
        EXPECT_EQ(child<QListWidget>(w, "LTable")->findItems("mg_listed", Qt::MatchExactly).size(), 1);

        child<QPlainTextEdit>(w, "SQLField")->setPlainText("create table mg_exec (a int)");
        for (int b : {MgenWindow::AddQueryButton, MgenWindow::RefreshGridButton}) {
            scripted.reset();
            click(cBut(w, b));
            EXPECT_TRUE(scripted.wasShown("Invalid Table Name !!!", "Message", MsgIcon::Critical)) << b;
            EXPECT_EQ(w.focusWidget(), child<QLineEdit>(w, "TblName"));
        }
        scripted.reset();
        click(cBut(w, MgenWindow::ExecuteSqlButton));
        EXPECT_TRUE(scripted.wasShown("Execute Done.", "Message", MsgIcon::Exclamation));
    });
    db::ResultSet check;
    check.open("select count(*) from mg_exec", setup());
    EXPECT_EQ(check.value(0), "0");
}

TEST_F(MgenWindowTest, TablesFieldsGridAndTheSharedSortToggle)
{
    setup().execute("drop table if exists mg_grid");
    setup().execute("create table mg_grid (id integer, name varchar(20))");
    setup().execute("insert into mg_grid values (2, 'b'), (1, 'c'), (3, 'a')");
    withWindow([&](MgenWindow& w) {
        click(cBut(w, MgenWindow::ConnectButton));
        pickTable(w, "mg_grid", false);
        QStringList fields;
        for (int i = 0; i < child<QListWidget>(w, "LField")->count(); ++i)
            fields << child<QListWidget>(w, "LField")->item(i)->text();
        fields.sort();
        EXPECT_EQ(fields, QStringList({"id", "name"}));

        // A double-click reconnects with the fields as they are now and remembers them.
        field(w, 3)->setText(testServer().login);
        SaveSetting(SettingsApplication, SettingsSection, "cLogin", "someone-else");
        pickTable(w, "mg_grid", true);
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "clogin"), testServer().login);
        EXPECT_EQ(child<QPlainTextEdit>(w, "SQLField")->toPlainText(), "Select * From mg_grid");
        EXPECT_EQ(child<QLineEdit>(w, "TblName")->text(), "mg_grid");
        auto* grid = child<QTableView>(w, "DGrid");
        EXPECT_TRUE(grid->isHidden()) << "the grid is filled but stays hidden";
        EXPECT_EQ(grid->model()->rowCount(), 3);

        click(child<QPushButton>(w, "CView"));
        EXPECT_FALSE(grid->isHidden());
        EXPECT_EQ(child<QPushButton>(w, "CView")->text(), "&Hide Grid");

        // One suffix for all columns: descending first, then ascending, whichever column.
        emit grid->horizontalHeader()->sectionClicked(0);
        EXPECT_EQ(w.sortSuffix(), " Desc");
        EXPECT_EQ(gridCell(w, 0, 0), "3");
        emit grid->horizontalHeader()->sectionClicked(1);
        EXPECT_EQ(w.sortSuffix(), "");
        EXPECT_EQ(gridCell(w, 0, 1), "a");
        emit grid->horizontalHeader()->sectionClicked(1);
        EXPECT_EQ(gridCell(w, 0, 1), "c");

        click(child<QPushButton>(w, "CView"));
        EXPECT_TRUE(grid->isHidden());
        EXPECT_EQ(child<QPushButton>(w, "CView")->text(), "&View Grid");

        click(cBut(w, MgenWindow::RefreshGridButton));
        EXPECT_FALSE(grid->isHidden());
        EXPECT_EQ(grid->model()->rowCount(), 3);

        click(child<QPushButton>(w, "CClear"));
        EXPECT_TRUE(child<QPlainTextEdit>(w, "SQLField")->toPlainText().isEmpty());
        EXPECT_EQ(grid->model()->columnCount(), 0);
    });
    EXPECT_EQ(scripted.modals().size(), 1u) << "no error window";
}

TEST_F(MgenWindowTest, AddQueryAndTheDeleteKeyOnTheQueryList)
{
    withWindow([&](MgenWindow& w) {
        auto* lv = child<QTreeWidget>(w, "LV");
        lv->setFocus();
        QTest::keyClick(lv, Qt::Key_Delete);
        EXPECT_EQ(lv->topLevelItemCount(), 0);
        addQuery(w, "Select * From a", "a");
        addQuery(w, "Select * From b", "target_b");
        addQuery(w, "Select * From b", "target_b");
        ASSERT_EQ(lv->topLevelItemCount(), 3) << "duplicates are allowed";
        EXPECT_EQ(lv->topLevelItem(1)->text(0), "Select * From b");
        EXPECT_EQ(lv->topLevelItem(1)->text(1), "target_b");
        EXPECT_TRUE(child<QTableView>(w, "DGrid")->isHidden());

        lv->setCurrentItem(lv->topLevelItem(0));
        QTest::keyClick(lv, Qt::Key_Delete);
        ASSERT_EQ(lv->topLevelItemCount(), 2);
        EXPECT_EQ(lv->topLevelItem(0)->text(1), "target_b");

        click(child<QPushButton>(w, "CNew"));
        EXPECT_EQ(lv->topLevelItemCount(), 0);
        EXPECT_EQ(child<QListWidget>(w, "LTable")->count(), 0);
        EXPECT_EQ(field(w, 1)->text(), testServer().socketDir) << "the connection fields keep their text";
    });
    EXPECT_EQ(scripted.modals().size(), 1u) << "no error window";
}

TEST_F(MgenWindowTest, RefreshRecordsCountsEveryListedQuery)
{
    setup().execute("drop table if exists mg_150; drop table if exists mg_120");
    setup().execute("create table mg_150 as select g as id from generate_series(1, 150) g");
    setup().execute("create table mg_120 as select g as id from generate_series(1, 120) g");
    withWindow([&](MgenWindow& w) {
        addQuery(w, "Select * From mg_150", "mg_150");
        addQuery(w, "Select * From mg_120", "mg_120");
        field(w, 7)->setText("2");
        click(child<QPushButton>(w, "CRefreshRec"));
        EXPECT_EQ(field(w, 5)->text(), "270");
        EXPECT_EQ(field(w, 6)->text(), "135");
        field(w, 7)->setText("");
        click(child<QPushButton>(w, "CRefreshRec"));
        EXPECT_EQ(field(w, 7)->text(), "1");
        EXPECT_EQ(field(w, 5)->text(), "270");
        EXPECT_EQ(field(w, 6)->text(), "270");

        // A query the server refuses is reported under the counter's name.
        addQuery(w, "Select * From no_such_table", "x");
        QString sub;
        captureErrorSub(sub);
        click(child<QPushButton>(w, "CRefreshRec"));
        EXPECT_EQ(sub, "RefreshRecords");
    });
}

TEST_F(MgenWindowTest, FailuresAreReportedUnderTheOperationThatFailed)
{
    const QString table = QStringLiteral("mg_fail_%1").arg(QCoreApplication::applicationPid());
    setup().execute("drop table if exists " + table);
    setup().execute("create table " + table + " (a int)");
    withWindow([&](MgenWindow& w) {
        click(cBut(w, MgenWindow::ConnectButton));
        QString sub;
        captureErrorSub(sub);
        SharedConnection().reset(); // the connection is gone when the table is clicked
        pickTable(w, table, false);
        EXPECT_EQ(sub, "LTable_Click");

        child<QPlainTextEdit>(w, "SQLField")->setPlainText("delete from no_such_table");
        captureErrorSub(sub);
        click(cBut(w, MgenWindow::ExecuteSqlButton));
        EXPECT_EQ(sub, "CBut& 3_Click");
        EXPECT_TRUE(ErrReport().isEmpty());

        // A refused login is the shared module's report; the step after it fails in its turn.
        field(w, 4)->setText("wrong");
        std::vector<QString> subs;
        for (int i = 0; i < 2; ++i)
            scripted.onModal([&](QDialog& d) { subs.push_back(d.findChild<QLabel*>("ErrSub")->text()); });
        click(cBut(w, MgenWindow::ConnectButton));
        EXPECT_EQ(subs, (std::vector<QString>{"ConnectDSN", "LoadLTable"}));
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "cpassword"), "wrong")
            << "values that fail to connect are remembered too";
    });
    setup().execute("drop table " + table);
}

TEST_F(MgenWindowTest, EnterMovesToTheNextControlAndUpToThePreviousOne)
{
    withWindow([&](MgenWindow& w) {
        QApplication::setActiveWindow(&w);
        auto* sql = child<QPlainTextEdit>(w, "SQLField");
        sql->setFocus();
        QTest::keyClick(sql, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.focusWidget(), cBut(w, MgenWindow::AddQueryButton));
        field(w, 2)->setFocus();
        QTest::keyClick(field(w, 2), Qt::Key_Up);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.focusWidget(), field(w, 1));
        QCoreApplication::processEvents();
        EXPECT_EQ(field(w, 1)->selectedText(), field(w, 1)->text()) << "a field selects its text on focus";
    });
}

TEST_F(MgenWindowTest, GenerationAsksForEachFileNameWhenAutoNamingIsOff)
{
    setup().execute("drop table if exists mg_three");
    setup().execute("create table mg_three as select g as id, 'row ' || g as label from generate_series(1, 3) g");
    withWindow([&](MgenWindow& w) {
        addQuery(w, "Select * From mg_three Order By id", "target");
        field(w, 8)->setText("2");
        child<QCheckBox>(w, "Check1_0")->setChecked(false);
        scripted.answerYesNo(answer::Yes);
        scripted.answerInput(QString("first"));
        scripted.answerInput(QString(""));
        click(cBut(w, MgenWindow::GenerateScriptButton));

        const auto questions = scripted.callsOf(PromptCall::Kind::YesNo);
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_EQ(questions[0].text, "Press [Yes] to Generate SQL File, Press [No] to Generate KX File.");
        EXPECT_EQ(questions[0].title, "Question");
        EXPECT_EQ(questions[0].icon, MsgIcon::Question);
        const auto names = scripted.callsOf(PromptCall::Kind::Input);
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(names[0].title, "Choose Name");
        EXPECT_EQ(names[0].text, "Enter a name for the file:");
        EXPECT_TRUE(names[0].defaultText.startsWith("SQL-") && names[0].defaultText.endsWith("-1"));
        EXPECT_TRUE(names[1].defaultText.endsWith("-2"));

        // The empty answer gives the default name.
        const QStringList files = exportFiles();
        ASSERT_EQ(files.size(), 2);
        EXPECT_TRUE(files.contains("first.SQL"));
        EXPECT_TRUE(files.contains(names[1].defaultText + ".SQL"));
        EXPECT_EQ(w.lastScriptFile(), program.path() + "/Export/" + names[1].defaultText + ".SQL");
        EXPECT_TRUE(scripted.wasShown(w.lastScriptFile() + " Script Done.", "Message", MsgIcon::Exclamation));

        QFile first(program.path() + "/Export/first.SQL");
        ASSERT_TRUE(first.open(QIODevice::ReadOnly));
        // The stand-in server reports its text as wide characters: national text.
        EXPECT_EQ(first.readAll(),
                  "INSERT INTO target (id,label) VALUES(1,N'row 1')\r\n"
                  "INSERT INTO target (id,label) VALUES(2,N'row 2')\r\n");
    });
}

TEST_F(MgenWindowTest, AGenerationWithoutRowsSaysNoFileWasWrittenNotAnOlderName)
{
    const QString one = QStringLiteral("mg_one_%1").arg(QCoreApplication::applicationPid());
    const QString none = QStringLiteral("mg_none_%1").arg(QCoreApplication::applicationPid());
    setup().execute("drop table if exists " + one + "; drop table if exists " + none);
    setup().execute("create table " + one + " as select 1 as id");
    setup().execute("create table " + none + " (id integer)");
    const QString noFile = "No script file was written: the queries returned no rows. Script Done.";
    withWindow([&](MgenWindow& w) {
        scripted.answerYesNo(answer::No);
        click(cBut(w, MgenWindow::GenerateScriptButton));
        EXPECT_TRUE(scripted.wasShown(noFile, "Message", MsgIcon::Exclamation));
        EXPECT_TRUE(exportFiles().isEmpty());

        addQuery(w, "Select * From " + one, one);
        scripted.answerYesNo(answer::No);
        click(cBut(w, MgenWindow::GenerateScriptButton));
        const QString written = w.lastScriptFile();
        EXPECT_TRUE(written.endsWith(".KX"));
        EXPECT_EQ(w.scriptKind(), ScriptKind::Kx);
        EXPECT_TRUE(scripted.wasShown(written + " Script Done.", "Message", MsgIcon::Exclamation));

        click(child<QPushButton>(w, "CNew"));
        addQuery(w, "Select * From " + none, none);
        scripted.reset();
        scripted.answerYesNo(answer::Yes);
        click(cBut(w, MgenWindow::GenerateScriptButton));
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text, noFile);
        EXPECT_EQ(exportFiles().size(), 1);
    });
    setup().execute("drop table " + one + "; drop table " + none);
}

TEST_F(MgenWindowTest, AFailedGenerationSaysItStoppedAndNamesTheLastCompleteFile)
{
    const QString table = QStringLiteral("mg_stop_%1").arg(QCoreApplication::applicationPid());
    setup().execute("drop table if exists " + table);
    setup().execute("create table " + table + " as select g as id from generate_series(1, 5) g");
    withWindow([&](MgenWindow& w) {
        // The second query fails after the first has written its files.
        addQuery(w, "Select * From " + table + " Order By id", table);
        addQuery(w, "Select * From no_such_table", "x");
        field(w, 8)->setText("2");
        QString sub;
        captureErrorSub(sub);
        scripted.answerYesNo(answer::Yes);
        click(cBut(w, MgenWindow::GenerateScriptButton));
        EXPECT_EQ(sub, "GenerateScript");
        const QStringList files = exportFiles();
        ASSERT_EQ(files.size(), 2) << files.join(' ').toStdString(); // rows 1-2 and 3-4; row 5 never written
        const QString last = program.path() + "/Export/" + files.last();
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text,
                  "Script generation stopped on an error. Last file written completely: " + last);
        EXPECT_EQ(scripted.messages()[0].icon, MsgIcon::Critical);
        EXPECT_FALSE(scripted.messages()[0].text.contains("Script Done."));

        // Nothing written before the failure: the message says so.
        click(child<QPushButton>(w, "CNew"));
        addQuery(w, "Select * From no_such_table", "x");
        scripted.reset();
        captureErrorSub(sub);
        scripted.answerYesNo(answer::No);
        click(cBut(w, MgenWindow::GenerateScriptButton));
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text,
                  "Script generation stopped on an error. No file was written completely.");
    });
    setup().execute("drop table " + table);
}

TEST_F(MgenWindowTest, AGenerationAndAGridRunTheirQueryOnce)
{
    // The values are longer than the driver announces: reading them must not run the query again.
    const QString sequence = QStringLiteral("mg_once_seq_%1").arg(QCoreApplication::applicationPid());
    setup().execute("drop sequence if exists " + sequence);
    setup().execute("create sequence " + sequence);
    const QString sql = "select nextval('" + sequence
        + "') as n, repeat('ab', 700 * g)::varchar as t "
          "from generate_series(1, 3) as g";
    const auto lastValue = [&] {
        db::ResultSet last;
        last.open("select last_value from " + sequence, setup());
        return std::string(last.value(0));
    };
    withWindow([&](MgenWindow& w) {
        addQuery(w, sql, "once_target");
        scripted.answerYesNo(answer::Yes);
        click(cBut(w, MgenWindow::GenerateScriptButton));
        EXPECT_EQ(lastValue(), "3") << "one generation advances the sequence once per row";
        QFile script(w.lastScriptFile());
        ASSERT_TRUE(script.open(QIODevice::ReadOnly));
        const QByteArray text = script.readAll();
        EXPECT_TRUE(text.startsWith("INSERT INTO once_target (n,t) VALUES(1,")) << text.left(60).toStdString();
        EXPECT_EQ(text.count("INSERT INTO"), 3);

        click(cBut(w, MgenWindow::RefreshGridButton));
        EXPECT_EQ(child<QTableView>(w, "DGrid")->model()->rowCount(), 3);
        EXPECT_EQ(lastValue(), "6") << "one grid open advances it once per row";
    });
    setup().execute("drop sequence " + sequence);
}

TEST_F(MgenWindowTest, ALongReadShowsHowManyRowsAreReadAndEndsWithAnEmptyLabel)
{
    // The server makes the rows slowly, so reading them takes longer than a repaint interval.
    struct PaintedTexts : QObject {
        QStringList texts;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                texts << static_cast<QLabel*>(watched)->text();
            return false;
        }
    } painted;
    withWindow([&](MgenWindow& w) {
        auto* label = child<QLabel>(w, "LblBar");
        label->installEventFilter(&painted);
        child<QPlainTextEdit>(w, "SQLField")
            ->setPlainText("select g, pg_sleep(0.0002) as pause from generate_series(1, 6000) as g");
        child<QLineEdit>(w, "TblName")->setText("slow");
        click(cBut(w, MgenWindow::RefreshGridButton));
        EXPECT_EQ(child<QTableView>(w, "DGrid")->model()->rowCount(), 6000);
        EXPECT_TRUE(label->text().isEmpty());
        label->removeEventFilter(&painted);
    });
    // The time the read has taken follows the count.
    const QRegularExpression reading(QStringLiteral("^Reading \\.\\.\\. [1-9][0-9]* rows   \\[0:[0-9]{2}\\]$"));
    EXPECT_TRUE(std::any_of(painted.texts.begin(), painted.texts.end(), [&](const QString& t) {
        return reading.match(t).hasMatch();
    })) << painted.texts.join(" | ").toStdString();
    EXPECT_EQ(scripted.modals().size(), 1u) << "no error window";
}

TEST_F(MgenWindowTest, StopEndsAConnectAReadOrAGenerationWithinASecondAndTheNextRunCompletes)
{
    SilentServer silent;
    ASSERT_TRUE(silent.isListening());
    const QString slow = "select g, pg_sleep(case when g = 2 then 30 else 0 end) as pause from generate_series(1, 3) g";
    struct Case {
        const char* what;
        std::function<void(MgenWindow&)> start; // starts the run that hangs
        std::function<void(MgenWindow&)> checkStopped;
        std::function<void(MgenWindow&)> nextRun; // the same kind of run, which completes
    };
    const std::vector<Case> cases{
        {"connect",
         [&](MgenWindow& w) {
             field(w, 1)->setText(silent.serverName());
             QTest::mouseClick(cBut(w, MgenWindow::ConnectButton), Qt::LeftButton);
         },
         [&](MgenWindow& w) {
             EXPECT_TRUE(child<QLabel>(w, "LblBar")->text().startsWith("Stopped"));
             field(w, 1)->setText(testServer().socketDir);
         },
         [&](MgenWindow& w) {
             click(cBut(w, MgenWindow::ConnectButton));
             EXPECT_GE(child<QListWidget>(w, "LTable")->count(), 0);
             EXPECT_TRUE(SharedConnection() && SharedConnection()->isOpen());
         }},
        {"grid read",
         [&](MgenWindow& w) {
             child<QPlainTextEdit>(w, "SQLField")->setPlainText(slow);
             child<QLineEdit>(w, "TblName")->setText("slow");
             QTest::mouseClick(cBut(w, MgenWindow::RefreshGridButton), Qt::LeftButton);
         },
         [&](MgenWindow& w) {
             EXPECT_EQ(child<QLabel>(w, "LblBar")->text(), "Stopped.");
             EXPECT_EQ(child<QTableView>(w, "DGrid")->model()->rowCount(), 0);
         },
         [&](MgenWindow& w) {
             child<QPlainTextEdit>(w, "SQLField")->setPlainText("select 1 as one");
             click(cBut(w, MgenWindow::RefreshGridButton));
             EXPECT_EQ(child<QTableView>(w, "DGrid")->model()->rowCount(), 1);
         }},
        {"generation",
         [&](MgenWindow& w) {
             addQuery(w, slow, "slow");
             scripted.answerYesNo(answer::Yes);
             QTest::mouseClick(cBut(w, MgenWindow::GenerateScriptButton), Qt::LeftButton);
         },
         [&](MgenWindow&) {
             ASSERT_EQ(scripted.messages().size(), 1u);
             EXPECT_EQ(scripted.messages()[0].text, "Script generation was stopped. No file was written completely.");
             EXPECT_EQ(scripted.messages()[0].icon, MsgIcon::Critical);
             EXPECT_TRUE(exportFiles().isEmpty());
         },
         [&](MgenWindow& w) {
             click(child<QPushButton>(w, "CNew"));
             addQuery(w, "select 1 as one", "t");
             scripted.answerYesNo(answer::Yes);
             click(cBut(w, MgenWindow::GenerateScriptButton));
             EXPECT_TRUE(scripted.messages().back().text.endsWith(" Script Done."));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scripted.reset();
        withWindow([&](MgenWindow& w) {
            c.start(w);
            EXPECT_LT(stopAndTime(w), 1000) << "control is back within a second";
            for (const PromptCall& modal : scripted.modals())
                EXPECT_NE(modal.windowName, "TRERR") << "no error window";
            c.checkStopped(w);
            c.nextRun(w);
        });
    }
}

TEST_F(MgenWindowTest, EveryOpeningStartsFromTheControlsAsBuilt)
{
    expectEveryOpeningStartsAlike();
}
