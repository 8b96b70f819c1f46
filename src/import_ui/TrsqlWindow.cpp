#include "import_ui/TrsqlWindow.h"

#include "basics/AppPath.h"
#include "db/ConnectionString.h"
#include "db/SharedConnections.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"
#include "import/KxFileImport.h"
#include "import/OsqlCommandLine.h"
#include "import/ScriptFileRun.h"
#include "import_ui/DriveList.h"
#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "ui/Placement.h"
#include "ui/Prompts.h"
#include "ui/ReportError.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace zobran {

namespace {

const QString FormName = QStringLiteral("TRSQL");
const QString MessageTitle = QStringLiteral("Message");

} // namespace

TrsqlWindow::TrsqlWindow(QWidget* parent) : ModalWindow(parent), output_(this)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("ZENTRA Script Update Utility [Ver 7.0 20081111]"));
    setFixedSize(twipsToPixels(7800), twipsToPixels(7320));
    buildControls();
    connection_ = ConnectionFields(nullptr, cServer_, connTable_, cLogin_, cPassword_);
    setRunControls(cStop_, lblBar_);
    recordBuiltState();
}

TrsqlWindow::~TrsqlWindow() = default;

void TrsqlWindow::buildControls()
{
    label1_ = placeLabel(this, QStringLiteral("Label1"), QStringLiteral("Connect to SQL Server Name"),
                         twipsRect(240, 270, 2700, 300));
    cServer_ = placeTextBox(this, QStringLiteral("CServer"), twipsRect(3000, 240, 4560, 330), 255);
    label5_
        = placeLabel(this, QStringLiteral("Label5"), QStringLiteral("Database Name"), twipsRect(240, 670, 2700, 300));
    connTable_ = placeTextBox(this, QStringLiteral("ConnTable"), twipsRect(3000, 640, 4560, 330), 255);
    label2_ = placeLabel(this, QStringLiteral("Label2"), QStringLiteral("Login ID"), twipsRect(240, 1070, 2700, 300));
    cLogin_ = placeTextBox(this, QStringLiteral("CLogin"), twipsRect(3000, 1040, 1935, 330), 255);
    label3_ = placeLabel(this, QStringLiteral("Label3"), QStringLiteral("Password"), twipsRect(240, 1470, 2700, 300));
    cPassword_ = placeTextBox(this, QStringLiteral("CPassword"), twipsRect(3000, 1440, 1935, 330), 255);
    cPassword_->setEchoMode(QLineEdit::Password);
    label4_ = placeLabel(this, QStringLiteral("Label4"), QString(), twipsRect(5055, 1470, 1380, 300));
    cConnect_
        = placeButton(this, QStringLiteral("CCONNECT"), QStringLiteral("&Connect"), twipsRect(6465, 1405, 1095, 405));

    frame1_ = placeControl<QGroupBox>(this, QStringLiteral("Frame1"), twipsRect(120, 1920, 7560, 4560));
    frame1_->setEnabled(false);
    scripts_ = ScriptFolderPicker(
        frame1_, FormName, QStringLiteral("*.kx;*.sql"),
        {twipsRect(240, 240, 3240, 330), twipsRect(240, 660, 3240, 2880), twipsRect(3600, 240, 3720, 3300)});
    lblBar_ = placeLabel(frame1_, QStringLiteral("LblBar"), QString(), twipsRect(240, 3660, 7080, 300));
    lblBar_->setTextFormat(Qt::PlainText);
    // The caption's "&&" is one "&" on screen.
    label6_ = placeLabel(frame1_, QStringLiteral("Label6"),
                         QStringLiteral("** Warning : Path & Script File Name Cannot Accept Space."),
                         twipsRect(240, 4080, 5400, 300));
    label6_->setTextFormat(Qt::PlainText);
    cExecute_ = placeButton(frame1_, QStringLiteral("CExecute"), QStringLiteral("&Execute"),
                            twipsRect(5880, 3990, 1440, 420));
    cExit_ = placeButton(this, QStringLiteral("CExit"), QStringLiteral("E&xit"), twipsRect(6240, 6660, 1440, 420));
    // Next to Exit while a run goes.
    cStop_ = placeButton(this, QStringLiteral("CStop"), QStringLiteral("&Stop"), twipsRect(4680, 6660, 1440, 420));

    connect(cConnect_, &QPushButton::clicked, this, [this] { CCONNECT_Click(); });
    connect(cExecute_, &QPushButton::clicked, this, [this] { CExecute_Click(); });
    connect(cExit_, &QPushButton::clicked, this, [this] { close(); });

    const std::vector<QWidget*> order{cServer_,          connTable_,         cLogin_,          cPassword_, cConnect_,
                                      scripts_.drives(), scripts_.folders(), scripts_.files(), cExecute_,  cExit_};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---- load and unload ----

void TrsqlWindow::formLoad()
{
    runGuarded(FormName, QStringLiteral("Form_Load"), [this] {
        output_.clear();
        scripts_.open(AppPath());
        connection_.loadRemembered();
        cServer_->setFocus();
    });
}

void TrsqlWindow::formUnload()
{
    output_.close();
    runGuarded(FormName, QStringLiteral("Form_Unload"), [] { deleteBatchFile(); });
}

// ---- connection ----

void TrsqlWindow::CCONNECT_Click()
{
    runGuarded(FormName, QStringLiteral("CCONNECT_Click"), [this] {
        if (cLogin_->text().isEmpty() || cPassword_->text().isEmpty() || connTable_->text().isEmpty()
            || cServer_->text().isEmpty()) {
            prompts().message(this, QStringLiteral("Invalid Completed Entry !!!"), MessageTitle, MsgIcon::Critical);
            return;
        }
        OpenDSN();
    });
}

void TrsqlWindow::OpenDSN()
{
    const QString connectionString
        = db::importConnectionString(cServer_->text(), connTable_->text(), cLogin_->text(), cPassword_->text());
    auto opened = std::make_shared<std::shared_ptr<db::Connection>>();
    startRun(
        [connectionString, opened](const StopSource&, RunProgress& progress) {
            progress.setStatus(QStringLiteral("Connecting ..."));
            openConnectionInto(*opened, connectionString);
        },
        [this, opened](const BackgroundRun::Outcome& outcome) {
            lblBar_->clear();
            if (!outcome.failure && !outcome.givenUp) {
                ImportConnection() = *opened;
                label4_->setText(QStringLiteral("Connected"));
                setTextColor(label4_, Qt::blue);
                frame1_->setEnabled(true);
                connection_.saveRemembered();
                return;
            }
            if (!outcome.givenUp)
                ImportConnection() = *opened;
            // A connect the user stopped is no error to tell of.
            if (!outcome.stopRequested)
                prompts().message(this, QStringLiteral("Error connection !!!"), MessageTitle, MsgIcon::Critical);
            label4_->setText(QStringLiteral("Fail to Connect"));
            setTextColor(label4_, Qt::red);
            frame1_->setEnabled(false);
        });
}

// ---- the run ----

OsqlArguments TrsqlWindow::osqlArguments(const QString& scriptPath) const
{
    // Read from the boxes when the run starts (they are locked while it goes), not from the open
    // connection.
    return OsqlArguments{cLogin_->text(), cPassword_->text(), cServer_->text(), connTable_->text(), scriptPath};
}

void TrsqlWindow::CExecute_Click()
{
    runGuarded(FormName, QStringLiteral("CExecute_Click"), [this] {
        MsgAnswer() = prompts().askYesNo(this, QStringLiteral("Confirm to Execute ?"), QStringLiteral("Question"),
                                         MsgIcon::Question);
        if (MsgAnswer() != answer::Yes)
            return;
        deleteBatchFile();
        output_.clear();
        const QStringList paths = scripts_.selectedPaths();
        if (paths.isEmpty()) {
            prompts().message(this, QStringLiteral("No File Execute."), MessageTitle, MsgIcon::Critical);
            return;
        }
        const OsqlArguments osql = osqlArguments(QString());
        const std::shared_ptr<db::Connection> connection = ImportConnection();
        auto failures = std::make_shared<ImportFailureLog>(FormName);
        auto reach = std::make_shared<ImportReach>();
        reach->update(
            [&](ImportReach::Snapshot& r) { r.running[QString()].filesTotal = static_cast<int>(paths.size()); });
        startRun(
            [this, paths, osql, connection, failures, reach](const StopSource& stop, RunProgress& progress) {
                for (qsizetype i = 0; i < paths.size(); ++i) {
                    const QString& path = paths[i];
                    const bool shown = scriptKindOf(path) == QStringLiteral("SQL");
                    ScriptFileHooks hooks;
                    hooks.fileOf = QStringLiteral("file %1 of %2").arg(i + 1).arg(paths.size());
                    if (shown) {
                        hooks.fileStarting = [&] { progress.post([this, path] { output_.beginRun(path); }); };
                        hooks.toolOutput
                            = [&](const QString& text) { progress.post([this, text] { output_.appendOutput(text); }); };
                        hooks.fileEnded = [&](const ScriptFileOutcome& outcome) {
                            progress.post([this, end = outcome.batch.outcome()] { output_.endRun(end); });
                        };
                    }
                    runScriptFile(path, connection.get(), osql, *failures, stop, progress, *reach, hooks);
                }
                progress.setStatus(QString());
            },
            [this, failures, reach](const BackgroundRun::Outcome& outcome) {
                lblBar_->clear();
                if (outcome.givenUp || outcome.stopRequested) {
                    QString text
                        = QStringLiteral("Import stopped.\n\n") + stoppedRunText(reach->snapshot(), outcome.givenUp);
                    // A run given up may still be logging: its summary is not read.
                    if (!outcome.givenUp && failures->anyLogged())
                        text += QStringLiteral("\n\n") + failureSummary(*failures);
                    prompts().message(this, text, MessageTitle, MsgIcon::Critical);
                    return;
                }
                if (const std::optional<AppError> error = outcome.error()) {
                    ReportError(FormName, QStringLiteral("CExecute_Click"), *error);
                    return;
                }
                if (failures->anyLogged())
                    prompts().message(this,
                                      QStringLiteral("Import Done, but not everything was imported.\n\n")
                                          + failureSummary(*failures),
                                      MessageTitle, MsgIcon::Critical);
                else
                    prompts().message(this, QStringLiteral("Import Done."), MessageTitle, MsgIcon::Exclamation);
            });
    });
}

} // namespace zobran
