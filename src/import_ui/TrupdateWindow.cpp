#include "import_ui/TrupdateWindow.h"

#include "db/CatalogQueries.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/SharedConnections.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"
#include "import/KxFileImport.h"
#include "import/MultiDatabaseRun.h"
#include "import/OsqlCommandLine.h"
#include "import_ui/DriveList.h"
#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "ui/ListFill.h"
#include "ui/Placement.h"
#include "ui/Prompts.h"
#include "ui/ReportError.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace zobran {

namespace {

const QString FormName = QStringLiteral("TRUPDATE");
const QString MessageTitle = QStringLiteral("Message");
const QString FailedMark = QStringLiteral("    ** Failed: ");

} // namespace

TrupdateWindow::TrupdateWindow(QWidget* parent) : ModalWindow(parent)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Script Update"));
    setFixedSize(twipsToPixels(10320), twipsToPixels(6840));
    buildControls();
    connection_ = ConnectionFields(nullptr, cServer_, nullptr, cLogin_, cPassword_);
    setRunControls(cStop_, lblStatus_);
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
    drive1_ = placeControl<DriveList>(frame2_, QStringLiteral("Drive1"), twipsRect(180, 660, 2760, 330));
    dir1_ = placeControl<FolderList>(frame2_, QStringLiteral("Dir1"), twipsRect(180, 1080, 2760, 4620));
    file1_ = new FileList(QStringLiteral("*.sql;*.kx"), frame2_);
    file1_->setObjectName(QStringLiteral("File1"));
    file1_->setGeometry(twipsRect(3060, 660, 3000, 5040));
    cRun_
        = placeButton(frame2_, QStringLiteral("CRUN"), QStringLiteral("Run Script"), twipsRect(3060, 5880, 1380, 420));
    command1_
        = placeButton(frame2_, QStringLiteral("Command1"), QStringLiteral("&Exit"), twipsRect(4680, 5880, 1380, 420));

    frame3_ = placeControl<QGroupBox>(this, QStringLiteral("Frame3"), twipsRect(120, 6720, 3720, 1200));
    frame3_->setTitle(QStringLiteral("Frame3"));
    frame3_->hide();
    listDataFile_ = placeControl<QListWidget>(frame3_, QStringLiteral("ListDataFile"), twipsRect(120, 240, 3480, 840));

    listLog_ = placeControl<QListWidget>(this, QStringLiteral("ListLog"), frame2_->geometry());
    listLog_->setUniformItemSizes(true);
    listLog_->hide();
    // Where the run shows how far it is, and its Stop button, under the log while it goes: they
    // take the place of the Run and Exit buttons the log covers.
    lblStatus_ = placeLabel(this, QStringLiteral("LblStatus"), QString(), twipsRect(4080, 6000, 4440, 420));
    lblStatus_->setTextFormat(Qt::PlainText);
    lblStatus_->hide();
    cStop_ = placeButton(this, QStringLiteral("CStop"), QStringLiteral("&Stop"), twipsRect(8640, 6000, 1380, 420));

    connect(cConnect_, &QPushButton::clicked, this, [this] { CCONNECT_Click(); });
    connect(cRun_, &QPushButton::clicked, this, [this] { CRUN_Click(); });
    connect(command1_, &QPushButton::clicked, this, [this] { close(); });
    connect(drive1_, &DriveList::driveChanged, this, [this] { Drive1_Change(); });
    connect(dir1_, &FolderList::pathChanged, this, [this] { Dir1_Change(); });

    const std::vector<QWidget*> order{cServer_, cLogin_, cPassword_, cConnect_, list1_,
                                      drive1_,  dir1_,   file1_,     cRun_,     command1_};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---- load ----

void TrupdateWindow::formLoad()
{
    runGuarded(FormName, QStringLiteral("Form_Load"), [this] {
        // The log covers the script controls while it is shown.
        listLog_->setGeometry(frame2_->geometry());
        listLog_->hide();
        listLog_->raise();
        listLog_->clear();
        list1_->clear();
        listDataFile_->clear();
        cRun_->setEnabled(true);
        drive1_->refresh();
        showFolder(QDir::currentPath());
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
        if (file1_->selectedCount() == 0) {
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

        MultiDatabaseRunSpec spec;
        // Login, password and server come from the boxes as they are when the run starts (they are
        // locked while it goes).
        spec.server = cServer_->text();
        spec.login = cLogin_->text();
        spec.password = cPassword_->text();
        for (int d = 0; d < listDataFile_->count(); ++d)
            spec.databases << listDataFile_->item(d)->text();
        for (const QString& name : file1_->selectedFileNames())
            spec.files << filePathIn(dir1_->path(), name);
        auto failures = std::make_shared<ImportFailureLog>(FormName);
        auto reach = std::make_shared<ImportReach>();
        auto result = std::make_shared<MultiDatabaseRunResult>();
        startRun(
            [this, spec, failures, reach, result](const StopSource& stop, RunProgress& progress) {
                const auto log
                    = [&progress, this](const QString& line) { progress.post([this, line] { addLog(line); }); };
                MultiDatabaseRunHooks hooks;
                hooks.databaseOpened
                    = [&](const QString& database) { log(QStringLiteral("Open Database : ") + database); };
                hooks.databaseNotOpened = [&](const QString& database, const AppError&) {
                    log(QStringLiteral("Cannot Open Database : ") + database
                        + QStringLiteral(" -- the run stops here"));
                };
                hooks.fileStarting = [&](const QString&, const QString& path) {
                    log(QStringLiteral("Updating Script File..[") + QFileInfo(path).fileName() + QStringLiteral("]"));
                };
                hooks.fileEnded = [&](const QString&, const QString&, const ScriptFileOutcome& outcome) {
                    if (outcome.failed())
                        log(FailedMark + outcome.failureText());
                };
                hooks.connectionLost = [&](const QString& database) {
                    log(QStringLiteral("Connection Lost : ") + database + QStringLiteral(" -- the run stops here"));
                };
                *result = runMultiDatabase(spec, *failures, stop, progress, *reach, hooks);
            },
            [this, failures, reach, result](const BackgroundRun::Outcome& outcome) {
                lblStatus_->hide();
                if (outcome.givenUp || outcome.stopRequested) {
                    QString text
                        = QStringLiteral("Patching stopped.\n\n") + stoppedRunText(reach->snapshot(), outcome.givenUp);
                    if (!outcome.givenUp && failures->anyLogged())
                        text += QStringLiteral("\n\n") + failureSummary(*failures);
                    prompts().message(this, text, MessageTitle, MsgIcon::Critical);
                } else if (outcome.failure) {
                    try {
                        std::rethrow_exception(outcome.failure);
                    } catch (const std::exception& e) {
                        ReportError(FormName, QStringLiteral("RunScriptUpdate"), toAppError(e));
                    }
                } else if (!result->stoppedAt.isEmpty()) {
                    QString text = QStringLiteral("Patching stopped at database ") + result->stoppedAt
                        + (result->connectionLost
                               ? QStringLiteral(": the connection to it was lost, so the rest of it and the "
                                                "databases after it were not updated.")
                               : QStringLiteral(": it could not be opened, so it and the databases after it were "
                                                "not updated."));
                    const QString summary = failureSummary(*failures);
                    if (!summary.isEmpty())
                        text += QStringLiteral("\n\n") + summary;
                    prompts().message(this, text, MessageTitle, MsgIcon::Critical);
                } else if (failures->anyLogged()) {
                    prompts().message(this,
                                      QStringLiteral("Patching Completed, but not everything was applied.\n\n")
                                          + failureSummary(*failures),
                                      MessageTitle, MsgIcon::Critical);
                } else {
                    prompts().message(this, QStringLiteral("Patching Completed."), MessageTitle, MsgIcon::Exclamation);
                }
                // The log hides again once the message has been closed.
                listLog_->hide();
                listLog_->setGeometry(frame2_->geometry());
            });
    });
}

void TrupdateWindow::addLog(const QString& line)
{
    listLog_->addItem(line);
    listLog_->scrollToBottom();
}

// ---- drive, folder and file lists ----

void TrupdateWindow::showFolder(const QString& folder)
{
    dir1_->setPath(folder);
    file1_->setPath(dir1_->path());
    drive1_->showVolumeOf(dir1_->path());
}

void TrupdateWindow::Drive1_Change()
{
    runGuarded(FormName, QStringLiteral("Drive1_Change"), [this] { dir1_->setPath(drive1_->drive()); });
}

void TrupdateWindow::Dir1_Change()
{
    runGuarded(FormName, QStringLiteral("Dir1_Change"), [this] {
        file1_->setPath(dir1_->path());
        drive1_->showVolumeOf(dir1_->path());
    });
}

} // namespace zobran
