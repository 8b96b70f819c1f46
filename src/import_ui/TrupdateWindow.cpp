#include "import_ui/TrupdateWindow.h"

#include "db/CatalogQueries.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/SharedConnections.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"
#include "import/KxFileImport.h"
#include "import/OsqlCommandLine.h"
#include "import_ui/DriveList.h"
#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "import_ui/RunLock.h"
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

namespace zobran {

namespace {

const QString FormName = QStringLiteral("TRUPDATE");
const QString MessageTitle = QStringLiteral("Message");
const QString FailedMark = QStringLiteral("    ** Failed: ");

// Hides the run log when the run ends, however it ends.
class HideWhenDone {
public:
    explicit HideWhenDone(QWidget* widget) : widget_(widget) {}
    ~HideWhenDone() { widget_->hide(); }
    HideWhenDone(const HideWhenDone&) = delete;
    HideWhenDone& operator=(const HideWhenDone&) = delete;

private:
    QWidget* widget_;
};

} // namespace

TrupdateWindow::TrupdateWindow(QWidget* parent) : ModalWindow(parent), runner_(this)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Script Update"));
    setFixedSize(twipsToPixels(10320), twipsToPixels(6840));
    buildControls();
    connection_ = ConnectionFields(nullptr, cServer_, nullptr, cLogin_, cPassword_);
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
    runGuarded(FormName, QStringLiteral("CCONNECT_Click"), [this] {
        if (OpenDSN(cServer_->text())) {
            LoadDatabaseList();
            cRun_->setEnabled(true);
        } else {
            prompts().message(this, QStringLiteral("Connection Fail !!!"), MessageTitle, MsgIcon::Critical);
            cRun_->setEnabled(false);
        }
    });
}

bool TrupdateWindow::OpenDSN(const QString& serverName)
{
    try {
        ImportConnection() = std::make_unique<db::Connection>();
        ImportConnection()->open(db::importServerConnectionString(serverName, cLogin_->text(), cPassword_->text()));
        ImportConnection()->setCursorLocation(db::CursorLocationClient);
        connection_.saveRemembered();
        return true;
    } catch (const std::exception&) {
        cRun_->setEnabled(false);
        return false;
    }
}

void TrupdateWindow::LoadDatabaseList()
{
    runGuarded(FormName, QStringLiteral("LoadDatabaseList"),
               [this] { fillListFromQuery(*list1_, db::userDatabaseListQuery(), connectionOf(ImportConnection())); });
}

// ---- the run ----

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
        listLog_->show();
        listLog_->raise();
        listLog_->clear();
        const HideWhenDone hideLog(listLog_);
        deleteBatchFile();

        const BusyGuard::Run running = busy_.run();
        // The log covers the script controls; they are locked as well, so no key reaches them.
        const RunLock lock{frame1_, list1_, frame2_};
        ImportFailureLog failures(FormName);
        QString stoppedAt;
        bool lost = false; // the run stopped on a lost connection, not on a database it could not open
        const QStringList files = file1_->selectedFileNames();
        for (int d = 0; d < listDataFile_->count() && stoppedAt.isEmpty(); ++d) {
            const QString database = listDataFile_->item(d)->text();
            if (!OpenData(database)) {
                if (openDataError_)
                    failures.databaseNotOpened(database, *openDataError_);
                addLog(QStringLiteral("Cannot Open Database : ") + database + QStringLiteral(" -- the run stops here"));
                stoppedAt = database;
                break;
            }
            addLog(QStringLiteral("Open Database : ") + database);
            for (const QString& name : files) {
                addLog(QStringLiteral("Updating Script File..[") + name + QStringLiteral("]"));
                const FileOutcome outcome = runFile(database, name, failures);
                if (!outcome.failure.isEmpty())
                    addLog(FailedMark + outcome.failure);
                if (outcome.connectionLost) {
                    // As with a database that cannot be opened: nothing more of this one, nor of the next ones.
                    addLog(QStringLiteral("Connection Lost : ") + database + QStringLiteral(" -- the run stops here"));
                    stoppedAt = database;
                    lost = true;
                    break;
                }
            }
            if (lost) {
                dataConnection_.reset(); // nothing to close on a connection that is gone
            } else {
                dataConnection_->close();
                dataConnection_.reset();
            }
        }

        if (!stoppedAt.isEmpty()) {
            QString text = QStringLiteral("Patching stopped at database ") + stoppedAt
                + (lost ? QStringLiteral(": the connection to it was lost, so the rest of it and the databases after "
                                         "it were not updated.")
                        : QStringLiteral(": it could not be opened, so it and the databases after it were not "
                                         "updated."));
            const QString summary = failureSummary(failures);
            if (!summary.isEmpty())
                text += QStringLiteral("\n\n") + summary;
            prompts().message(this, text, MessageTitle, MsgIcon::Critical);
        } else if (failures.anyLogged()) {
            prompts().message(this,
                              QStringLiteral("Patching Completed, but not everything was applied.\n\n")
                                  + failureSummary(failures),
                              MessageTitle, MsgIcon::Critical);
        } else {
            prompts().message(this, QStringLiteral("Patching Completed."), MessageTitle, MsgIcon::Exclamation);
        }
    });
}

bool TrupdateWindow::OpenData(const QString& database)
{
    openDataError_.reset();
    try {
        dataConnection_ = std::make_unique<db::Connection>();
        dataConnection_->open(
            db::importConnectionString(cServer_->text(), database, cLogin_->text(), cPassword_->text()));
        dataConnection_->setCursorLocation(db::CursorLocationClient);
        return true;
    } catch (const std::exception& e) {
        openDataError_ = toAppError(e);
        return false;
    }
}

TrupdateWindow::FileOutcome TrupdateWindow::runFile(const QString& database, const QString& fileName,
                                                    ImportFailureLog& failures)
{
    const QString path = filePathIn(dir1_->path(), fileName);
    const QString kind = scriptKindOf(fileName);
    if (kind == QStringLiteral("SQL")) {
        // Login, password and server come from the boxes as they are when the file runs.
        const BatchRunResult result
            = runOsqlFile(runner_, OsqlArguments{cLogin_->text(), cPassword_->text(), cServer_->text(), database, path},
                          WindowStyle::Hidden);
        if (!result.failed())
            return {};
        failures.osqlFileFailed(path, result);
        return FileOutcome{result.outcome(), result.connectionLost()};
    }
    if (kind == QStringLiteral(".KX"))
        return ImportKXFile(path, failures);
    return {};
}

TrupdateWindow::FileOutcome TrupdateWindow::ImportKXFile(const QString& path, ImportFailureLog& failures)
{
    KxImportHooks hooks;
    // Nothing is shown per statement; the window is only kept painted.
    hooks.beforeStatement = [this](const QString&) {
        if (busy_.progressDue())
            busy_.showProgress(QString());
    };
    hooks.statementFailed = [&failures](const KxStatementFailure& failure) { failures.statementFailed(failure); };
    hooks.connectionLost = [&failures](const KxConnectionLoss& loss) { failures.connectionLost(loss); };
    try {
        const KxImportCounts counts = importKxFile(path, *dataConnection_, hooks);
        if (counts.connectionLost)
            return FileOutcome{QStringLiteral("the connection was lost after %1 statement(s); %2 were not run")
                                   .arg(counts.executed)
                                   .arg(counts.notRun),
                               true};
        if (counts.failed == 0)
            return {};
        return FileOutcome{QString::number(counts.failed) + QStringLiteral(" of ")
                           + QString::number(counts.failed + counts.executed) + QStringLiteral(" statement(s) failed")};
    } catch (const std::exception& e) {
        const AppError error = toAppError(e);
        failures.kxFileFailed(path, error);
        return FileOutcome{QStringLiteral("the file could not be read: ") + oneLine(error.description())};
    }
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
