#include "import_ui/TrupdateWindow.h"

#include "basics/AppPath.h"
#include "db/CatalogQueries.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"
#include "import/KxFileImport.h"
#include "import/MultiDatabaseRun.h"
#include "import/OsqlCommandLine.h"
#include "import/RunReport.h"
#include "import_ui/DriveList.h"
#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "ui/ListFill.h"
#include "ui/Placement.h"
#include "ui/Prompts.h"
#include "ui/ReportError.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>

#include <memory>

namespace zobran {

namespace {

const QString FormName = QStringLiteral("TRUPDATE");
const QString MessageTitle = QStringLiteral("Message");
const QString FailedMark = QStringLiteral("    ** Failed: ");
constexpr int MaxDatabasesAtATime = 16;

// A remembered whole number within its bounds, or the fallback.
int rememberedNumber(const QString& key, int fallback, int lowest, int highest)
{
    bool ok = false;
    const int value = GetSetting(SettingsApplication, SettingsSection, key).toInt(&ok);
    return ok && value >= lowest && value <= highest ? value : fallback;
}

} // namespace

TrupdateWindow::TrupdateWindow(QWidget* parent) : ModalWindow(parent)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Script Update"));
    setFixedSize(twipsToPixels(10320), twipsToPixels(8100));
    buildControls();
    connection_ = ConnectionFields(nullptr, cServer_, nullptr, cLogin_, cPassword_);
    setRunControls(cStop_, lblStatus_);
    recordBuiltState();
}

TrupdateWindow::~TrupdateWindow() = default;

void TrupdateWindow::buildControls()
{
    frame1_ = placeControl<QGroupBox>(this, QStringLiteral("Frame1"), twipsRect(120, 120, 3720, 2160));
    frame1_->setTitle(QStringLiteral("SQL Server "));
    const std::array<QString, 3> captions{QStringLiteral("ServerName"), QStringLiteral("Login"),
                                          QStringLiteral("Password")};
    for (int i = 0; i < 3; ++i)
        label1_[i] = placeLabel(frame1_, QStringLiteral("Label1_%1").arg(i), captions[i],
                                twipsRect(180, 360 + 400 * i, 1200, 300));
    cServer_ = placeTextBox(frame1_, QStringLiteral("CServer"), twipsRect(1440, 330, 2160, 330), 255);
    cLogin_ = placeTextBox(frame1_, QStringLiteral("CLogin"), twipsRect(1440, 730, 2160, 330), 255);
    cPassword_ = placeTextBox(frame1_, QStringLiteral("CPassword"), twipsRect(1440, 1130, 2160, 330), 255);
    cPassword_->setEchoMode(QLineEdit::Password);
    cConnect_ = placeButton(frame1_, QStringLiteral("CCONNECT"), QStringLiteral("&Connect"),
                            twipsRect(2385, 1590, 1215, 405));

    list1_ = placeControl<QListWidget>(this, QStringLiteral("List1"), twipsRect(120, 2400, 3720, 4260));
    list1_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    frame2_ = placeControl<QGroupBox>(this, QStringLiteral("Frame2"), twipsRect(3960, 120, 6240, 6540));
    label2_ = placeLabel(frame2_, QStringLiteral("Label2"), QStringLiteral("Script File Location"),
                         twipsRect(180, 300, 3000, 300));
    scripts_ = ScriptFolderPicker(
        frame2_, FormName, QStringLiteral("*.sql;*.kx"),
        {twipsRect(180, 660, 2760, 330), twipsRect(180, 1080, 2760, 4620), twipsRect(3060, 660, 3000, 5040)});
    cRun_
        = placeButton(frame2_, QStringLiteral("CRUN"), QStringLiteral("Run Script"), twipsRect(3060, 5880, 1380, 420));
    command1_
        = placeButton(frame2_, QStringLiteral("Command1"), QStringLiteral("&Exit"), twipsRect(4680, 5880, 1380, 420));

    frame3_ = placeControl<QGroupBox>(this, QStringLiteral("Frame3"), twipsRect(120, 6720, 3720, 1200));
    frame3_->setTitle(QStringLiteral("Frame3"));
    frame3_->hide();
    listDataFile_ = placeControl<QListWidget>(frame3_, QStringLiteral("ListDataFile"), twipsRect(120, 240, 3480, 840));

    // The log covers the script controls while it is shown.
    listLog_ = placeControl<QListWidget>(this, QStringLiteral("ListLog"), frame2_->geometry());
    listLog_->setUniformItemSizes(true);
    listLog_->hide();
    // Where the run shows how far it is, and its Stop button, under the log while it goes: they
    // take the place of the Run and Exit buttons the log covers.
    lblStatus_ = placeLabel(this, QStringLiteral("LblStatus"), QString(), twipsRect(4080, 6000, 4440, 420));
    lblStatus_->setTextFormat(Qt::PlainText);
    lblStatus_->setAutoFillBackground(true); // over the Run button the shortened log uncovers
    lblStatus_->hide();
    cStop_ = placeButton(this, QStringLiteral("CStop"), QStringLiteral("&Stop"), twipsRect(8640, 6000, 1380, 420));

    // How a run goes over many databases: how many at a time, what a failed database does to the
    // rest, and an earlier run's report whose complete files are skipped.
    frame4_ = placeControl<QGroupBox>(this, QStringLiteral("Frame4"), twipsRect(120, 6780, 10080, 1200));
    frame4_->setTitle(QStringLiteral("Run"));
    label7_ = placeLabel(frame4_, QStringLiteral("Label7"), QStringLiteral("Databases at a time"),
                         twipsRect(180, 360, 2160, 300));
    spinAtATime_ = placeControl<QSpinBox>(frame4_, QStringLiteral("SpinAtATime"), twipsRect(2340, 330, 720, 330));
    spinAtATime_->setRange(1, MaxDatabasesAtATime);
    label8_ = placeLabel(frame4_, QStringLiteral("Label8"), QStringLiteral("On a failed database"),
                         twipsRect(3300, 360, 2160, 300));
    comboOnFailure_
        = placeControl<QComboBox>(frame4_, QStringLiteral("ComboOnFailure"), twipsRect(5460, 330, 2280, 330));
    comboOnFailure_->addItems({QStringLiteral("stop"), QStringLiteral("go on with the others")});
    cResume_ = placeButton(frame4_, QStringLiteral("CResume"), QStringLiteral("Resume from &report..."),
                           twipsRect(7860, 300, 2040, 400));
    lblResume_ = placeLabel(frame4_, QStringLiteral("LblResume"), QString(), twipsRect(180, 780, 9720, 300));

    connect(cConnect_, &QPushButton::clicked, this, [this] { CCONNECT_Click(); });
    connect(cRun_, &QPushButton::clicked, this, [this] { CRUN_Click(); });
    connect(cResume_, &QPushButton::clicked, this, [this] { CResume_Click(); });
    connect(command1_, &QPushButton::clicked, this, [this] { close(); });

    const std::vector<QWidget*> order{
        cServer_,         cLogin_, cPassword_, cConnect_,    list1_,          scripts_.drives(), scripts_.folders(),
        scripts_.files(), cRun_,   command1_,  spinAtATime_, comboOnFailure_, cResume_};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---- load ----

void TrupdateWindow::formLoad()
{
    runGuarded(FormName, QStringLiteral("Form_Load"), [this] {
        resumeReport_.clear();
        spinAtATime_->setValue(rememberedNumber(QStringLiteral("DatabasesAtATime"), 1, 1, MaxDatabasesAtATime));
        comboOnFailure_->setCurrentIndex(rememberedNumber(QStringLiteral("GoOnAfterFailedDatabase"), 0, 0, 1));
        scripts_.open(QDir::currentPath());
        connection_.loadRemembered();
        cServer_->setFocus();
    });
}

// ---- server connection and database list ----

void TrupdateWindow::CCONNECT_Click()
{
    // OpenDSN and LoadDatabaseList on the window's run: the server connection, then its databases.
    const QString connectionString
        = db::importServerConnectionString(cServer_->text(), cLogin_->text(), cPassword_->text());
    auto opened = std::make_shared<std::shared_ptr<db::Connection>>();
    auto databases = std::make_shared<std::optional<QStringList>>();
    auto listFailure = std::make_shared<std::optional<AppError>>();
    startRun(
        [connectionString, opened, databases, listFailure](const StopSource& stop, RunProgress& progress) {
            progress.setStatus(QStringLiteral("Connecting ..."));
            openConnectionInto(*opened, connectionString);
            const db::Connection::RunUse use(**opened, stop);
            try {
                *databases = readListQuery(db::userDatabaseListQuery(), **opened);
            } catch (const RunStopped&) {
                throw;
            } catch (const std::exception& e) {
                *listFailure = toAppError(e);
            }
        },
        [this, opened, databases, listFailure](const BackgroundRun::Outcome& outcome) {
            if (!outcome.givenUp)
                ImportConnection() = *opened;
            if (outcome.failure || outcome.givenUp) {
                // OpenDSN failed (or the user stopped it): no message of its own, then the click's.
                if (!outcome.stopRequested)
                    prompts().message(this, QStringLiteral("Connection Fail !!!"), MessageTitle, MsgIcon::Critical);
                cRun_->setEnabled(false);
                return;
            }
            runGuarded(FormName, QStringLiteral("CCONNECT_Click"), [this] { connection_.saveRemembered(); });
            if (*listFailure)
                ReportError(FormName, QStringLiteral("LoadDatabaseList"), **listFailure);
            else
                fillListBox(*list1_, **databases);
            cRun_->setEnabled(true);
        });
}

void TrupdateWindow::CRUN_Click()
{
    runGuarded(FormName, QStringLiteral("CRUN_Click"), [this] {
        listDataFile_->clear();
        int databases = 0;
        for (int i = 0; i < list1_->count(); ++i) {
            if (list1_->item(i)->isSelected()) {
                listDataFile_->addItem(list1_->item(i)->text());
                ++databases;
            }
        }
        if (databases == 0) {
            prompts().message(this, QStringLiteral("No Database Selected !!!"), MessageTitle, MsgIcon::Critical);
            return;
        }
        if (scripts_.selectedCount() == 0) {
            prompts().message(this, QStringLiteral("No Script Files Selected !!!"), MessageTitle, MsgIcon::Critical);
            return;
        }
        RunScriptUpdate();
    });
}

void TrupdateWindow::RunScriptUpdate()
{
    runGuarded(FormName, QStringLiteral("RunScriptUpdate"), [this] {
        MsgAnswer() = prompts().askYesNo(this, QStringLiteral("Start Execute Script ?"), QStringLiteral("Question"),
                                         MsgIcon::Question);
        if (MsgAnswer() != answer::Yes)
            return;
        // The log covers the script controls, less a line at its foot for the status and Stop.
        listLog_->setGeometry(frame2_->geometry().adjusted(0, 0, 0, -twipsToPixels(720)));
        listLog_->show();
        listLog_->raise();
        listLog_->clear();
        lblStatus_->clear();
        lblStatus_->show();
        lblStatus_->raise();
        deleteBatchFile();

        MultiDatabaseRunPlan plan;
        // Login, password and server come from the boxes as they are when the run starts (they are
        // locked while it goes).
        plan.server = cServer_->text();
        plan.login = cLogin_->text();
        plan.password = cPassword_->text();
        for (int d = 0; d < listDataFile_->count(); ++d)
            plan.databases << listDataFile_->item(d)->text();
        plan.files = scripts_.selectedPaths();
        plan.databasesAtATime = spinAtATime_->value();
        plan.goOnAfterFailedDatabase = comboOnFailure_->currentIndex() == 1;
        SaveSetting(SettingsApplication, SettingsSection, QStringLiteral("DatabasesAtATime"),
                    QString::number(plan.databasesAtATime));
        SaveSetting(SettingsApplication, SettingsSection, QStringLiteral("GoOnAfterFailedDatabase"),
                    QString::number(comboOnFailure_->currentIndex()));
        if (!resumeReport_.isEmpty())
            plan.completed = RunReport::completedPairs(resumeReport_);
        auto report = std::make_shared<RunReport>(RunReport::defaultPath());
        // Several databases at a time: each log line says which database it is of.
        const bool tagged = plan.databasesAtATime > 1;
        auto failures = std::make_shared<ImportFailureLog>(FormName);
        auto reach = std::make_shared<ImportReach>();
        auto result = std::make_shared<MultiDatabaseRunResult>();
        startRun(
            [this, plan, failures, reach, result, report, tagged](const StopSource& stop, RunProgress& progress) {
                const auto log = [&progress, this, tagged](const QString& database, const QString& line) {
                    const QString shown = tagged ? QLatin1Char('[') + database + QStringLiteral("] ") + line : line;
                    progress.post([this, shown] { addLog(shown); });
                };
                MultiDatabaseRunHooks hooks;
                hooks.databaseOpened
                    = [&](const QString& database) { log(database, QStringLiteral("Open Database : ") + database); };
                hooks.databaseNotOpened = [&](const QString& database, const AppError&) {
                    log(database,
                        QStringLiteral("Cannot Open Database : ") + database
                            + (plan.goOnAfterFailedDatabase ? QStringLiteral(" -- the run goes on without it")
                                                            : QStringLiteral(" -- the run stops here")));
                };
                hooks.fileStarting = [&](const QString& database, const QString& path) {
                    log(database,
                        QStringLiteral("Updating Script File..[") + QFileInfo(path).fileName() + QStringLiteral("]"));
                };
                hooks.fileSkipped = [&](const QString& database, const QString& path) {
                    log(database,
                        QStringLiteral("Skipped, complete in the earlier run: ") + QFileInfo(path).fileName());
                };
                hooks.fileEnded = [&](const QString& database, const QString&, const ScriptFileOutcome& outcome) {
                    if (outcome.failed())
                        log(database, FailedMark + outcome.failureText());
                };
                hooks.connectionLost = [&](const QString& database) {
                    log(database,
                        QStringLiteral("Connection Lost : ") + database
                            + (plan.goOnAfterFailedDatabase ? QStringLiteral(" -- the run goes on without it")
                                                            : QStringLiteral(" -- the run stops here")));
                };
                *result = runMultiDatabase(plan, *failures, stop, progress, *reach, report.get(), hooks);
            },
            [this, plan, failures, reach, result, report](const BackgroundRun::Outcome& outcome) {
                lblStatus_->hide();
                showRunEnd(plan, outcome, *failures, *reach, *result);
                // The report lies next to the daily log; the user may look at it at once.
                if (!outcome.givenUp && QFileInfo::exists(report->path())) {
                    MsgAnswer() = prompts().askYesNo(this,
                                                     QStringLiteral("The run's report is in ") + report->path()
                                                         + QStringLiteral("\n\nOpen it?"),
                                                     QStringLiteral("Question"), MsgIcon::Question);
                    if (MsgAnswer() == answer::Yes)
                        QDesktopServices::openUrl(QUrl::fromLocalFile(report->path()));
                }
                // The log hides again once the messages have been closed.
                listLog_->hide();
                listLog_->setGeometry(frame2_->geometry());
            },
            // The log can be scrolled and read while the run goes.
            {listLog_});
    });
}

void TrupdateWindow::showRunEnd(const MultiDatabaseRunPlan& plan, const BackgroundRun::Outcome& outcome,
                                const ImportFailureLog& failures, const ImportReach& reach,
                                const MultiDatabaseRunResult& result)
{
    const auto withSummary = [&](QString text) {
        // A run given up may still be logging: its summary is not read.
        const QString summary = outcome.givenUp ? QString() : failureSummary(failures);
        if (!summary.isEmpty())
            text += QStringLiteral("\n\n") + summary;
        return text;
    };
    if (outcome.givenUp || outcome.stopRequested) {
        prompts().message(
            this,
            withSummary(QStringLiteral("Patching stopped.\n\n") + stoppedRunText(reach.snapshot(), outcome.givenUp)),
            MessageTitle, MsgIcon::Critical);
        return;
    }
    if (const std::optional<AppError> error = outcome.error()) {
        ReportError(FormName, QStringLiteral("RunScriptUpdate"), *error);
        return;
    }
    if (!plan.goOnAfterFailedDatabase && !result.failedDatabases.isEmpty()) {
        const QString& at = result.failedDatabases.first();
        const bool lost = result.lostDatabases.contains(at);
        QString text = QStringLiteral("Patching stopped at database ") + at
            + (lost ? QStringLiteral(": the connection to it was lost, so the rest of it and the databases after it "
                                     "were not updated.")
                    : QStringLiteral(": it could not be opened, so it and the databases after it were not updated."));
        prompts().message(this, withSummary(text), MessageTitle, MsgIcon::Critical);
        return;
    }
    if (!result.failedDatabases.isEmpty()) {
        prompts().message(this,
                          withSummary(QStringLiteral("Patching Completed, but these databases could not be updated "
                                                     "(not opened, or their connection was lost): ")
                                      + result.failedDatabases.join(QStringLiteral(", "))),
                          MessageTitle, MsgIcon::Critical);
        return;
    }
    if (failures.anyLogged()) {
        prompts().message(
            this, QStringLiteral("Patching Completed, but not everything was applied.\n\n") + failureSummary(failures),
            MessageTitle, MsgIcon::Critical);
        return;
    }
    prompts().message(this, QStringLiteral("Patching Completed."), MessageTitle, MsgIcon::Exclamation);
}

void TrupdateWindow::CResume_Click()
{
    runGuarded(FormName, QStringLiteral("CResume_Click"), [this] {
        const QString chosen = prompts().openFileName(this, QStringLiteral("Open"), appSubPath(QStringLiteral("LOG")),
                                                      QStringLiteral("(*.csv)"));
        resumeReport_ = chosen;
        lblResume_->setText(
            chosen.isEmpty() ? QString()
                             : QStringLiteral("Files complete in %1 are skipped.").arg(QFileInfo(chosen).fileName()));
    });
}

void TrupdateWindow::addLog(const QString& line)
{
    listLog_->addItem(line);
    listLog_->scrollToBottom();
}

} // namespace zobran
