#include "MdeleteTestSupport.h"
#include "support/ScriptBytes.h"
#include "support/StopCheck.h"
#include "support/TestServer.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>

using namespace zobran;
using namespace zobran::test;

namespace {

const QStringList Commands{"CSearch", "CConnect_1", "CSave", "CStart", "CNew"};

} // namespace

TEST_F(MdeleteWindowTest, OpensWithTheDriverTheRememberedValuesAndTheCommandsDisabled)
{
    withWindow([&](MdeleteWindow& w) {
        EXPECT_EQ(w.windowTitle(), "Utility - Delete Script");
        const QStringList captions{"Driver", "Server Name", "Database Name", "User ID", "Password"};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(child<QLabel>(w, QString("Label1_%1").arg(i))->text(), captions[i]);
        EXPECT_EQ(field(w, 0)->text(), "SQL Server");
        EXPECT_EQ(field(w, 1)->text(), testServer().socketDir);
        EXPECT_EQ(field(w, 2)->text(), database());
        EXPECT_EQ(field(w, 3)->text(), testServer().login);
        EXPECT_EQ(field(w, 4)->text(), testServer().password);
        EXPECT_EQ(field(w, 4)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(tables(w)->columnCount(), 1);
        EXPECT_EQ(tables(w)->headerItem()->text(0), "Table Name");
        EXPECT_EQ(tables(w)->columnWidth(0), 4400 / 15);
        for (const QString& name : Commands)
            EXPECT_FALSE(button(w, name)->isEnabled()) << name.toStdString();
        EXPECT_EQ(button(w, "CConnect_0")->text(), "C&onnect");
        EXPECT_EQ(button(w, "CSearch")->text(), "Browse");
        field(w, 0)->setText("Another Driver");
    });
    withWindow([&](MdeleteWindow& w) { EXPECT_EQ(field(w, 0)->text(), "SQL Server"); });
    EXPECT_EQ(scripted.modals().size(), 2u) << "closing without ever connecting shows no error window";
}

TEST_F(MdeleteWindowTest, BothConnectButtonsCheckTheFieldsInOrderAndPutTheFocusThere)
{
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        const char* refusals[] = {"Invalid Driver !!!", "Invalid Server Name !!!", "Invalid Database Name !!!",
                                  "Invalid User ID !!!", "Invalid Password !!!"};
        for (int i = 4; i >= 0; --i) {
            field(w, i)->setText("");
            for (const char* name : {"CConnect_0", "CConnect_1"}) {
                scripted.reset();
                click(w, name);
                ASSERT_EQ(scripted.calls().size(), 1u) << name;
                EXPECT_TRUE(scripted.wasShown(refusals[i], "Message", MsgIcon::Critical)) << scripted.calls().front();
                EXPECT_EQ(w.focusWidget(), field(w, i));
            }
        }
    });
}

TEST_F(MdeleteWindowTest, AFailedConnectionIsReportedAndStillEnablesTheCommands)
{
    withWindow([&](MdeleteWindow& w) {
        field(w, 4)->setText(" "); // blanks count as text; the server refuses them
        QStringList reports;
        for (int i = 0; i < 2; ++i)
            scripted.onModal([&](QDialog& d) {
                reports << d.findChild<QLabel*>("ErrForm")->text() + "/" + d.findChild<QLabel*>("ErrSub")->text();
            });
        click(w, "CConnect_0");
        EXPECT_EQ(reports, QStringList({"Module1/ConnectDSN", "MDELETE/LoadLTable"}));
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "cpassword"), " ");
        for (const QString& name : Commands)
            EXPECT_TRUE(button(w, name)->isEnabled()) << name.toStdString();
        EXPECT_EQ(tables(w)->topLevelItemCount(), 0);
    });
    EXPECT_EQ(scripted.modals().size(), 3u) << "closing the unopened connection shows nothing";
}

TEST_F(MdeleteWindowTest, TheListHoldsTheTablesByNameWithoutTheConfigurationTables)
{
    const QString b = makeTable("b", 1);
    const QString a = makeTable("a", 1);
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        EXPECT_EQ(ownListed(w), QStringList({a, b}));
        tick(w, a);
        click(w, "CNew");
        EXPECT_EQ(ownListed(w), QStringList({a, b}));
        EXPECT_TRUE(listed(w, true).isEmpty()) << "New reloads the list without ticks";

        field(w, 2)->setText("shop_01");
        click(w, "CConnect_0");
        const QStringList shop = listed(w);
        for (const char* kept :
             {"qcus_mt_customer", "qinv_mt_category", "qinv_mt_item", "qinv_mt_plu", "qsal_tr_sales"})
            EXPECT_TRUE(shop.contains(kept)) << kept;
        for (const char* hidden : {"sysdiagrams", "qtil_mt_app", "qcor_mainmenu"})
            EXPECT_FALSE(shop.contains(hidden)) << hidden;
    });
    EXPECT_EQ(errorWindowsShown(), 0);
}

TEST_F(MdeleteWindowTest, ADatabaseHoldingOnlyExcludedTablesGivesAnEmptyList)
{
    for (const char* excluded : {"sysdiagrams", "qtil_rpt_set", "qtil_mt_loginscreen", "qcor_mainmenu",
                                 "qwag_mt_epftable", "qlist_mt_seabill"})
        setup().execute(QStringLiteral("create table %1 (id int)").arg(excluded));
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        EXPECT_EQ(tables(w)->topLevelItemCount(), 0) << listed(w).join(' ').toStdString();
        EXPECT_TRUE(button(w, "CConnect_1")->isEnabled());
    });
    EXPECT_EQ(errorWindowsShown(), 0);
}

TEST_F(MdeleteWindowTest, GenerateReconnectsAndWritesOneStatementPerTickInListOrder)
{
    const QString a = makeTable("a", 1);
    const QString odd = makeTable("b odd]name", 1);
    makeTable("c", 1);
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        SaveSetting(SettingsApplication, SettingsSection, "cLogin", "someone-else");
        click(w, "CConnect_1");
        EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, "clogin"), testServer().login);
        EXPECT_TRUE(statements(w).isEmpty());
        EXPECT_TRUE(scripted.wasShown("Generate successfully.", "Message", MsgIcon::Information))
            << "also when nothing is ticked";

        tick(w, odd);
        tick(w, a);
        const QString last = listed(w).last();
        tick(w, last);
        click(w, "CConnect_1");
        const QStringList lines = statements(w);
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0], "Delete from " + a);
        EXPECT_EQ(lines[1], "Delete from \"" + odd + "\"") << "an irregular name is quoted for the server";
        EXPECT_EQ(tablesDeletedBy({lines[2]}), QSet<QString>{last});
    });
}

TEST_F(MdeleteWindowTest, SaveWritesUnderTheTypedOrGeneratedNameAndReplacesOnlyWhenAllowed)
{
    const QString a = makeTable("a", 1);
    const QString b = makeTable("b", 1);
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        scripted.reset();
        click(w, "CSave");
        EXPECT_TRUE(scripted.calls().empty()) << "an empty list saves nothing and says nothing";
        EXPECT_FALSE(QFileInfo::exists(program.path() + "/Export"));

        tick(w, a);
        tick(w, b);
        click(w, "CConnect_1");
        const QByteArray both = ("Delete from " + a + "\r\nDelete from " + b + "\r\n").toUtf8();
        scripted.reset();
        scripted.answerInput(QString("mine"));
        click(w, "CSave");
        const auto asked = scripted.callsOf(PromptCall::Kind::Input);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "Enter name for the file:");
        EXPECT_EQ(asked[0].title, "Enter Name");
        EXPECT_TRUE(QRegularExpression("^SQL-\\d{8}-\\d{6}$").match(asked[0].defaultText).hasMatch())
            << asked[0].defaultText.toStdString();
        EXPECT_EQ(contents(exportPath("mine.sql")), both);
        EXPECT_TRUE(scripted.wasShown("Save successfully.", "Message", MsgIcon::Information));

        scripted.answerInput(std::nullopt);
        click(w, "CSave");
        EXPECT_EQ(w.lastSave().path, exportPath(w.lastSave().defaultName + ".sql"));
        EXPECT_EQ(contents(w.lastSave().path), both) << "a cancelled name saves under the generated one";

        tables(w)->findItems(b, Qt::MatchExactly).first()->setCheckState(0, Qt::Unchecked);
        click(w, "CConnect_1");
        scripted.reset();
        scripted.answerInput(QString("mine"));
        scripted.answerYesNo(answer::No);
        scripted.answerInput(QString("mine"));
        scripted.answerYesNo(answer::Yes);
        click(w, "CSave");
        EXPECT_TRUE(scripted.allAnswersUsed()) << "No asks for a name again";
        const auto overwrite = scripted.callsOf(PromptCall::Kind::YesNo);
        ASSERT_EQ(overwrite.size(), 2u);
        EXPECT_EQ(overwrite[0].text, "Would you like to overwrite the existing file?");
        EXPECT_EQ(overwrite[0].title, "Question");
        EXPECT_EQ(overwrite[0].icon, MsgIcon::Question);
        EXPECT_EQ(contents(exportPath("mine.sql")), ("Delete from " + a + "\r\n").toUtf8()) << "replaced, not appended";

        // A file that cannot be written is reported and leaves nothing behind.
        scripted.reset();
        scripted.answerInput(QString("no_such_folder/x"));
        QString sub;
        captureErrorSub(sub);
        click(w, "CSave");
        EXPECT_EQ(sub, "CSave_Click");
        EXPECT_FALSE(scripted.wasShown("Save successfully.", "Message", MsgIcon::Information));
        EXPECT_FALSE(QFileInfo::exists(exportPath("no_such_folder")));
    });
}

TEST_F(MdeleteWindowTest, LoadingAScriptBringsBackItsStatementsAndTicksExactlyTheirTables)
{
    const QString a = makeTable("a", 1);
    const QString b = makeTable("b", 1);
    const QString odd = makeTable("c d", 1);
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        tick(w, a);
        tick(w, odd);
        click(w, "CConnect_1");
        const QStringList saved = statements(w);
        scripted.answerInput(QString("pair"));
        click(w, "CSave");
        click(w, "CNew");
        EXPECT_TRUE(statements(w).isEmpty());
        tick(w, b);

        scripted.reset();
        scripted.answerFile(exportPath("pair.sql"));
        click(w, "CSearch");
        const auto dialogs = scripted.callsOf(PromptCall::Kind::OpenFile);
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].folder, program.path() + "/Export");
        EXPECT_TRUE(dialogs[0].filter.contains("*.sql"));
        EXPECT_EQ(child<QLineEdit>(w, "txtFile")->text(), exportPath("pair.sql"));
        EXPECT_EQ(statements(w), saved);
        EXPECT_EQ(ownListed(w, true), QStringList({a, odd})) << "the reload cleared the tick of " << b.toStdString();

        // An empty file leaves the statements; their tables are ticked again.
        tables(w)->findItems(a, Qt::MatchExactly).first()->setCheckState(0, Qt::Unchecked);
        scripted.answerFile(writeScript("empty.sql", ""));
        click(w, "CSearch");
        EXPECT_EQ(statements(w), saved);
        EXPECT_EQ(ownListed(w, true), QStringList({a, odd}));

        // A cancelled dialog keeps the file named; a missing file only ticks again.
        QFile::remove(exportPath("empty.sql"));
        tables(w)->findItems(odd, Qt::MatchExactly).first()->setCheckState(0, Qt::Unchecked);
        click(w, "CSearch");
        EXPECT_EQ(child<QLineEdit>(w, "txtFile")->text(), exportPath("empty.sql"));
        EXPECT_EQ(ownListed(w, true), QStringList({a, odd}));

        // A file written on Windows: LF or CR LF line ends, Windows-1252 text.
        scripted.answerFile(writeScript("other.sql", "Delete from " + b.toLatin1() + "\nDelete from caf\xe9\r\n"));
        click(w, "CSearch");
        EXPECT_EQ(statements(w), QStringList({"Delete from " + b, QString::fromUtf8("Delete from café")}));
        EXPECT_EQ(ownListed(w, true), QStringList({b}));
    });
    EXPECT_EQ(errorWindowsShown(), 0);
}

TEST_F(MdeleteWindowTest, StartDeletesTheRowsOfTheTickedTablesOnlyAfterConfirm)
{
    const QString a = makeTable("a", 3);
    const QString b = makeTable("b", 4);
    const QString c = makeTable("c", 5);
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        tick(w, a);
        tick(w, c);
        click(w, "CConnect_1");

        scripted.reset();
        scripted.answerYesNo(answer::No);
        click(w, "CStart");
        ASSERT_EQ(scripted.calls().size(), 1u);
        EXPECT_EQ(scripted.calls()[0].text, "Do you want to delete seleted item?");
        EXPECT_EQ(scripted.calls()[0].title, "Message");
        EXPECT_EQ(scripted.calls()[0].icon, MsgIcon::Question);

        const std::vector<std::pair<std::optional<QString>, QString>> refusals{
            {QString("confirm"), "Confirmation error. Delete Cancel."},
            {QString(" CONFIRM"), "Confirmation error. Delete Cancel."},
            {QString(""), "Delete Cancel."},
            {std::nullopt, "Delete Cancel."}};
        for (const auto& [typed, refusal] : refusals) {
            scripted.reset();
            scripted.answerYesNo(answer::Yes);
            scripted.answerInput(typed);
            click(w, "CStart");
            const auto asked = scripted.callsOf(PromptCall::Kind::Input);
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0].text, "Type CONFIRM to delete.");
            EXPECT_EQ(asked[0].title, "Message");
            EXPECT_EQ(asked[0].defaultText, "");
            EXPECT_TRUE(scripted.wasShown(refusal, "Error Message", MsgIcon::Critical)) << refusal.toStdString();
        }
        EXPECT_EQ(rowCount(a) + rowCount(b) + rowCount(c), 12) << "nothing deleted yet";

        scripted.reset();
        scripted.answerYesNo(answer::Yes);
        scripted.answerInput(QString("CONFIRM"));
        click(w, "CStart");
        EXPECT_TRUE(scripted.wasShown("Delete successfully.", "Message", MsgIcon::Information));
    });
    EXPECT_EQ(rowCount(a), 0);
    EXPECT_EQ(rowCount(b), 4);
    EXPECT_EQ(rowCount(c), 0);
}

TEST_F(MdeleteWindowTest, AFailingStatementStopsTheRunThereAndIsReported)
{
    const QString a = makeTable("a", 2);
    const QString b = makeTable("b", 2);
    const QString script = writeScript(
        "broken.sql",
        ("Delete from " + a + "\r\nDelete from " + own("missing") + "\r\nDelete from " + b + "\r\n").toUtf8());
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        scripted.answerFile(script);
        click(w, "CSearch");
        ASSERT_EQ(statements(w).size(), 3);
        scripted.reset();
        scripted.answerYesNo(answer::Yes);
        scripted.answerInput(QString("CONFIRM"));
        QString sub;
        captureErrorSub(sub);
        click(w, "CStart");
        EXPECT_EQ(sub, "CStart_Click");
        EXPECT_TRUE(scripted.messages().empty()) << "no success message";
    });
    EXPECT_EQ(rowCount(a), 0);
    EXPECT_EQ(rowCount(b), 2);
}

TEST_F(MdeleteWindowTest, DamagedListsAreReadByTheRulesAndRefusedOrShownBeforeAnythingRuns)
{
    const QString a = makeTable("a", 2);
    const QString b = makeTable("b", 3);
    const QString c = makeTable("c", 1);
    const QString good = "Delete from " + a + "\r\nDelete from " + b + "\r\n";
    const QString nulLine = "update " + b + " set id = 0" + QChar(u'\0') + " where id = 1";
    const struct {
        const char* what;
        QByteArray bytes;
        QStringList listed; // after Browse
        QString refusal;    // or the end of the error window's text
    } browsed[] = {
        {"UTF-16 with its mark", utf16WithMark(good), {"Delete from " + a, "Delete from " + b}, {}},
        {"UTF-8 with its mark", utf8WithMark(good), {"Delete from " + a, "Delete from " + b}, {}},
        {"UTF-8 with a stray byte",
         ("Delete from " + a + "\r\nDelete from caf\u00e9\r\n").toUtf8() + "Delete from it\x92s\r\n",
         {},
         QString("line 3 holds a byte that is not (0x92 at byte offset %1); the file is refused whole")
             .arg(a.size() + 47)},
        // Shown whole; Start refuses it below.
        {"a NUL character",
         ("Delete from " + a + "\r\n" + nulLine + "\r\n").toUtf8(),
         {"Delete from " + a, nulLine},
         {}},
    };
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        for (const auto& file : browsed) {
            const QStringList before = statements(w);
            QString shownError;
            scripted.reset();
            scripted.onModal([&](QDialog& d) { shownError = d.findChild<QPlainTextEdit*>("ErrTxt")->toPlainText(); });
            scripted.answerFile(writeScript("list.sql", file.bytes));
            click(w, "CSearch");
            if (file.refusal.isEmpty()) {
                EXPECT_EQ(statements(w), file.listed) << file.what;
                EXPECT_EQ(shownError, "") << file.what;
            } else {
                EXPECT_EQ(statements(w), before) << file.what << ": a refused file changes nothing";
                EXPECT_TRUE(shownError.endsWith(file.refusal)) << file.what << ": " << shownError.toStdString();
            }
        }

        // The list holding the NUL line is not run, nor asked about.
        QString sub, text;
        scripted.reset();
        scripted.onModal([&](QDialog& d) {
            sub = d.findChild<QLabel*>("ErrSub")->text();
            text = d.findChild<QPlainTextEdit*>("ErrTxt")->toPlainText();
        });
        click(w, "CStart");
        EXPECT_EQ(sub, "CStart_Click");
        EXPECT_EQ(text,
                  QString("Line 2 of the list holds a NUL character (U+0000) at character %1: the server would "
                          "run only the text before it. Nothing of the list was run.")
                      .arg(nulLine.indexOf(QChar(u'\0')) + 1));
        EXPECT_TRUE(scripted.callsOf(PromptCall::Kind::YesNo).empty());

        // Lines other than "Delete from" and a name are listed in the first question, then run.
        scripted.answerFile(writeScript(
            "list.sql",
            ("Delete from " + a + "\r\nDROP TABLE " + c + "\r\ndelete from " + b + " where id = 1\r\n").toUtf8()));
        click(w, "CSearch");
        scripted.reset();
        scripted.answerYesNo(answer::Yes);
        scripted.answerInput(QString("CONFIRM"));
        click(w, "CStart");
        const auto asked = scripted.callsOf(PromptCall::Kind::YesNo);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text,
                  "These lines of the list are not \"Delete from\" and a table name; they run as they "
                  "are:\n\nLine 2: DROP TABLE "
                      + c + "\nLine 3: delete from " + b + " where id = 1\n\nDo you want to delete seleted item?");
        EXPECT_TRUE(scripted.wasShown("Delete successfully.", "Message", MsgIcon::Information));
    });
    EXPECT_EQ(rowCount(a), 0);
    EXPECT_EQ(rowCount(b), 2);
    db::ResultSet dropped;
    dropped.open("select count(*) from sys.tables where name = '" + c + "'", setup());
    EXPECT_EQ(std::string(dropped.value(0)), "0");
}

TEST_F(MdeleteWindowTest, EnterAndUpMoveTheFocusAndAFieldSelectsItsText)
{
    withWindow([&](MdeleteWindow& w) {
        QApplication::setActiveWindow(&w);
        field(w, 4)->setFocus();
        QTest::keyClick(field(w, 4), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.focusWidget(), button(w, "CConnect_0"));
        field(w, 2)->setFocus();
        QTest::keyClick(field(w, 2), Qt::Key_Up);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.focusWidget(), field(w, 1));
        QCoreApplication::processEvents();
        EXPECT_EQ(field(w, 1)->selectedText(), field(w, 1)->text());
    });
}

TEST_F(MdeleteWindowTest, StopEndsADeleteRunBlockedByALockWithinASecondAndSaysWhichStatementsRan)
{
    const QString a = makeTable("sa", 3);
    const QString b = makeTable("sb", 4);
    const QString c = makeTable("sc", 5);
    // Another session holds the second table: its delete waits for the lock.
    db::Connection holder;
    holder.open(testConnectionString(database()));
    holder.execute("begin");
    holder.execute("lock table " + quoted(b) + " in access exclusive mode");
    withWindow([&](MdeleteWindow& w) {
        click(w, "CConnect_0");
        for (const QString& table : {a, b, c})
            tick(w, table);
        click(w, "CConnect_1");
        scripted.reset();
        scripted.answerYesNo(answer::Yes);
        scripted.answerInput(QString("CONFIRM"));
        QTest::mouseClick(button(w, "CStart"), Qt::LeftButton);
        EXPECT_LT(stopAndTime(w, 500), 1000) << "control is back within a second";
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text,
                  "Delete stopped. Statements run: 1 of 3 (to \"Delete from " + a + "\"); the rest did not run.");
        EXPECT_FALSE(scripted.wasShown("Delete successfully.", "Message", MsgIcon::Information));
        EXPECT_EQ(rowCount(a), 0);
        holder.execute("commit");
        EXPECT_EQ(rowCount(b), 4);
        EXPECT_EQ(rowCount(c), 5);

        scripted.reset();
        scripted.answerYesNo(answer::Yes);
        scripted.answerInput(QString("CONFIRM"));
        click(w, "CStart");
        EXPECT_TRUE(scripted.wasShown("Delete successfully.", "Message", MsgIcon::Information));
    });
    EXPECT_EQ(rowCount(b) + rowCount(c), 0);
}

TEST_F(MdeleteWindowTest, EveryOpeningStartsFromTheControlsAsBuilt)
{
    expectEveryOpeningStartsAlike();
}
