#include "delete_ui/MdeleteWindow.h"

#include "basics/AppPath.h"
#include "basics/Folders.h"
#include "basics/TextFile.h"
#include "db/CatalogQueries.h"
#include "db/ConnectionString.h"
#include "db/SharedConnections.h"
#include "ui/FocusKeys.h"
#include "ui/ListFill.h"
#include "ui/Placement.h"
#include "ui/Prompts.h"
#include "ui/ReportError.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <atomic>
#include <memory>
#include <optional>

namespace zobran {

namespace {

const QString FormName = QStringLiteral("MDELETE");
const QString MessageTitle = QStringLiteral("Message");
const QString RefusalTitle = QStringLiteral("Error Message");

} // namespace

MdeleteWindow::MdeleteWindow(QWidget* parent) : ModalWindow(parent)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Utility - Delete Script"));
    setFont(QFont(QStringLiteral("Verdana"), 8));
    setFixedSize(twipsToPixels(11430), twipsToPixels(8400));
    buildControls();
    setTabOrder();
    connection_ = ConnectionFields(txtField_[0], txtField_[1], txtField_[2], txtField_[3], txtField_[4]);
    setRunControls(cStop_, lblStatus_);
    recordBuiltState();
}

void MdeleteWindow::buildControls()
{
    frame1_ = placeControl<QGroupBox>(this, QStringLiteral("Frame1"), twipsRect(120, 120, 4935, 2175));
    frame1_->setFont(QFont(QStringLiteral("Tahoma"), 8));
    const std::array<QString, 5> captions{QStringLiteral("Driver"), QStringLiteral("Server Name"),
                                          QStringLiteral("Database Name"), QStringLiteral("User ID"),
                                          QStringLiteral("Password")};
    const std::array<int, 5> widths{2895, 2895, 2895, 1455, 1455};
    for (int i = 0; i < 5; ++i) {
        label1_[i] = placeLabel(frame1_, QStringLiteral("Label1_%1").arg(i), captions[i],
                                twipsRect(240, 240 + 360 * i, 1500, 330));
        txtField_[i] = placeTextBox(frame1_, QStringLiteral("TxtField_%1").arg(i),
                                    twipsRect(1800, 240 + 360 * i, widths[i], 330), 32767);
    }
    txtField_[4]->setEchoMode(QLineEdit::Password);
    cConnect_[0] = placeButton(frame1_, QStringLiteral("CConnect_0"), QStringLiteral("C&onnect"),
                               twipsRect(3480, 1680, 1215, 375));

    fra2_ = placeControl<QGroupBox>(this, QStringLiteral("fra2"), twipsRect(120, 2400, 4935, 5295));
    lv1_ = placeControl<QTreeWidget>(fra2_, QStringLiteral("LV1"), twipsRect(120, 240, 4695, 4455));
    lv1_->setRootIsDecorated(false);
    lv1_->setUniformRowHeights(true);
    lv1_->setAllColumnsShowFocus(true);
    lv1_->setSortingEnabled(false);
    lv1_->header()->setStretchLastSection(false);
    cConnect_[1] = placeButton(fra2_, QStringLiteral("CConnect_1"), QStringLiteral("Generate"),
                               twipsRect(3480, 4800, 1335, 375));

    fra3_ = placeControl<QGroupBox>(this, QStringLiteral("fra3"), twipsRect(5160, 120, 6135, 7575));
    lDelete_ = placeControl<QListWidget>(fra3_, QStringLiteral("LDelete"), twipsRect(120, 240, 5895, 6015));
    lDelete_->setUniformItemSizes(true);
    cSearch_ = placeButton(fra3_, QStringLiteral("CSearch"), QStringLiteral("Browse"), twipsRect(120, 6360, 1215, 375));
    txtFile_ = placeTextBox(fra3_, QStringLiteral("txtFile"), twipsRect(1440, 6382, 4575, 330), 32767);
    cSave_ = placeButton(fra3_, QStringLiteral("CSave"), QStringLiteral("Save"), twipsRect(120, 6840, 1215, 375));
    cStart_ = placeButton(fra3_, QStringLiteral("CStart"), QStringLiteral("Start"), twipsRect(1440, 6840, 1215, 375));
    cNew_ = placeButton(fra3_, QStringLiteral("CNew"), QStringLiteral("New"), twipsRect(2760, 6840, 1215, 375));

    cClose_ = placeButton(this, QStringLiteral("CClose"), QStringLiteral("Close"), twipsRect(10080, 7815, 1215, 375));
    // How far a run is, and its Stop button next to Close, while one goes.
    lblStatus_ = placeLabel(this, QStringLiteral("LblStatus"), QString(), twipsRect(120, 7815, 8520, 375));
    lblStatus_->setTextFormat(Qt::PlainText);
    cStop_ = placeButton(this, QStringLiteral("CStop"), QStringLiteral("&Stop"), twipsRect(8760, 7815, 1215, 375));

    for (int i = 0; i < static_cast<int>(cConnect_.size()); ++i)
        connect(cConnect_[i], &QPushButton::clicked, this, [this, i] { CConnect_Click(i); });
    connect(cSave_, &QPushButton::clicked, this, [this] { CSave_Click(); });
    connect(cStart_, &QPushButton::clicked, this, [this] { CStart_Click(); });
    connect(cNew_, &QPushButton::clicked, this, [this] { CNew_Click(); });
    connect(cSearch_, &QPushButton::clicked, this, [this] { CSearch_Click(); });
    connect(cClose_, &QPushButton::clicked, this, [this] { close(); });

    auto* keys = new FocusKeys(this);
    keys->selectAllOnFocus({txtField_[0], txtField_[1], txtField_[2], txtField_[3], txtField_[4]});
}

void MdeleteWindow::setTabOrder()
{
    const std::vector<QWidget*> order{txtField_[0], txtField_[1], txtField_[2], txtField_[3], txtField_[4],
                                      cConnect_[0], lv1_,         cConnect_[1], lDelete_,     cSearch_,
                                      txtFile_,     cSave_,       cStart_,      cNew_,        cClose_};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MdeleteWindow::enableCommands(bool enabled)
{
    for (QPushButton* button : {cSearch_, cConnect_[1], cSave_, cStart_, cNew_})
        button->setEnabled(enabled);
}

QStringList MdeleteWindow::statementLines() const
{
    QStringList lines;
    lines.reserve(lDelete_->count());
    for (int i = 0; i < lDelete_->count(); ++i)
        lines << lDelete_->item(i)->text();
    return lines;
}

// ---- load and unload ----

void MdeleteWindow::formLoad()
{
    runGuarded(FormName, QStringLiteral("Form_Load"), [this] {
        save_ = {};
        NewData();
        lv1_->setHeaderLabels({QStringLiteral("Table Name")});
        lv1_->setColumnWidth(0, twipsToPixels(4400));
        txtField_[0]->setFocus();
    });
}

void MdeleteWindow::NewData()
{
    runGuarded(FormName, QStringLiteral("NewData"), [this] {
        txtField_[0]->setText(db::SqlServerDriver);
        enableCommands(false);
        connection_.loadRemembered();
    });
}

void MdeleteWindow::formUnload()
{
    runGuarded(
        FormName, QStringLiteral("Form_Unload"), [] { closeSharedVariable(SharedConnection()); },
        ReportMode::QuietWhenNoConnection);
}

// ---- connection and table list ----

void MdeleteWindow::CConnect_Click(int index)
{
    runGuarded(FormName, arrayClickName(QStringLiteral("CConnect& "), index), [this, index] {
        if (!connection_.checkEachFilled(this))
            return;
        ListResultSet().reset();
        QString connectionString;
        runGuarded(FormName, QStringLiteral("RunConnection"),
                   [&] { connectionString = connection_.prepareSharedConnection(); });
        // Also after a step that reported a failure.
        const auto enable = [this] { enableCommands(true); };
        if (index == ConnectButton) {
            LoadLTable(connectionString, enable);
            return;
        }
        // Generate: the connection opens anew first (its server names the tables' quoting).
        auto opened = std::make_shared<std::shared_ptr<db::Connection>>();
        auto failure = std::make_shared<std::optional<AppError>>();
        startRun(
            [connectionString, opened, failure](const StopSource&, RunProgress& progress) {
                progress.setStatus(QStringLiteral("Connecting ..."));
                try {
                    openConnectionInto(*opened, connectionString);
                } catch (const std::exception& e) {
                    *failure = toAppError(e);
                }
            },
            [this, opened, failure, enable](const BackgroundRun::Outcome& outcome) {
                if (!outcome.givenUp)
                    SharedConnection() = *opened;
                if (*failure)
                    ReportError(QStringLiteral("Module1"), QStringLiteral("ConnectDSN"), **failure);
                if (!outcome.stopRequested)
                    GenerateScript();
                enable();
            });
    });
}

void MdeleteWindow::LoadLTable(const QString& connectionString, std::function<void()> then)
{
    const std::shared_ptr<db::Connection> current = SharedConnection();
    auto opened = std::make_shared<std::shared_ptr<db::Connection>>(current);
    auto reports = std::make_shared<DeferredReports>();
    auto tables = std::make_shared<std::optional<QStringList>>();
    const bool reconnect = !connectionString.isEmpty();
    startRun(
        [connectionString, reconnect, opened, reports, tables](const StopSource& stop, RunProgress& progress) {
            if (reconnect) {
                progress.setStatus(QStringLiteral("Connecting ..."));
                reports->runGuarded(QStringLiteral("Module1"), QStringLiteral("ConnectDSN"),
                                    [&] { openConnectionInto(*opened, connectionString); });
            }
            progress.setStatus(QStringLiteral("Reading the tables ..."));
            reports->runGuarded(FormName, QStringLiteral("LoadLTable"), [&] {
                db::Connection& connection = connectionOf(*opened);
                const db::Connection::RunUse use(connection, stop);
                *tables = readListQuery(db::deletableTableListQuery(), connection);
            });
        },
        [this, reconnect, opened, reports, tables, then = std::move(then)](const BackgroundRun::Outcome& outcome) {
            if (!outcome.givenUp && reconnect)
                SharedConnection() = *opened;
            if (!outcome.givenUp)
                reports->reportAll();
            lv1_->clear();
            if (*tables)
                showTables(**tables);
            if (then)
                then();
        });
}

void MdeleteWindow::showTables(const QStringList& tables)
{
    QList<QTreeWidgetItem*> items;
    items.reserve(tables.size());
    for (const QString& table : tables) {
        auto* item = new QTreeWidgetItem(QStringList{table});
        item->setCheckState(0, Qt::Unchecked);
        items << item;
    }
    lv1_->addTopLevelItems(items);
}

void MdeleteWindow::CNew_Click()
{
    runGuarded(FormName, QStringLiteral("CNew_Click"), [this] {
        txtFile_->clear();
        lDelete_->clear();
        LoadLTable(QString());
    });
}

// ---- statements ----

void MdeleteWindow::GenerateScript()
{
    runGuarded(FormName, QStringLiteral("GenerateScript"), [this] {
        lDelete_->clear();
        const db::ServerInfo server = SharedConnection() ? SharedConnection()->serverInfo() : db::ServerInfo{};
        QStringList statements;
        for (int i = 0; i < lv1_->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = lv1_->topLevelItem(i);
            if (item->checkState(0) == Qt::Checked)
                statements << deleteStatement(item->text(0), server);
        }
        lDelete_->addItems(statements);
        prompts().message(this, QStringLiteral("Generate successfully."), MessageTitle, MsgIcon::Information);
    });
}

void MdeleteWindow::CSave_Click()
{
    runGuarded(FormName, QStringLiteral("CSave_Click"), [this] {
        if (lDelete_->count() == 0)
            return;
        const QString defaultName = generatedDeleteScriptName(QDateTime::currentDateTime());
        const QString exportFolder = ensureExportFolder();
        const DeleteScriptSavePrompts questions{
            [this](const QString& name) {
                return prompts().inputBox(this, QStringLiteral("Enter name for the file:"),
                                          QStringLiteral("Enter Name"), name);
            },
            [this] {
                MsgAnswer() = prompts().askYesNo(this, QStringLiteral("Would you like to overwrite the existing file?"),
                                                 QStringLiteral("Question"), MsgIcon::Question);
                return MsgAnswer() == answer::Yes;
            }};
        save_ = chooseDeleteScriptName(exportFolder, defaultName, questions);
        writeDeleteScript(save_, statementLines());
        prompts().message(this, QStringLiteral("Save successfully."), MessageTitle, MsgIcon::Information);
    });
}

void MdeleteWindow::CStart_Click()
{
    runGuarded(FormName, QStringLiteral("CStart_Click"), [this] {
        // A list that cannot be sent as it stands is refused before anything is asked.
        const QStringList statements = statementLines();
        checkDeleteList(statements);
        MsgAnswer() = prompts().askYesNo(this, deleteRunQuestion(statements), MessageTitle, MsgIcon::Question);
        if (MsgAnswer() == answer::No)
            return;
        const QString typed = prompts()
                                  .inputBox(this, QStringLiteral("Type CONFIRM to delete."), MessageTitle, QString())
                                  .value_or(QString());
        if (typed.isEmpty()) {
            prompts().message(this, QStringLiteral("Delete Cancel."), RefusalTitle, MsgIcon::Critical);
            return;
        }
        if (typed != QStringLiteral("CONFIRM")) {
            prompts().message(this, QStringLiteral("Confirmation error. Delete Cancel."), RefusalTitle,
                              MsgIcon::Critical);
            return;
        }
        const std::shared_ptr<db::Connection> connection = SharedConnection();
        auto ran = std::make_shared<std::atomic<int>>(0);
        startRun(
            [statements, connection, ran](const StopSource& stop, RunProgress& progress) {
                if (statements.isEmpty())
                    return;
                db::Connection& open = connectionOf(connection);
                const db::Connection::RunUse use(open, stop);
                const int total = static_cast<int>(statements.size());
                progress.setStatus(QStringLiteral("Delete 0 of %1").arg(total));
                executeEachStatement(statements, open, [&](int done) {
                    ran->store(done);
                    progress.setStatus(QStringLiteral("Delete %1 of %2").arg(done).arg(total));
                });
            },
            [this, statements, ran](const BackgroundRun::Outcome& outcome) {
                const int done = ran->load();
                if (outcome.givenUp || outcome.stopRequested) {
                    QString text
                        = QStringLiteral("Delete stopped. Statements run: %1 of %2").arg(done).arg(statements.size());
                    if (done > 0)
                        text += QStringLiteral(" (to \"") + statements[done - 1] + QStringLiteral("\")");
                    text += QStringLiteral("; the rest did not run.");
                    if (outcome.givenUp && done < statements.size())
                        text += QStringLiteral("\nThe server had not answered when the run was given up: \"")
                            + statements[done] + QStringLiteral("\" may still complete.");
                    prompts().message(this, text, MessageTitle, MsgIcon::Critical);
                    return;
                }
                if (const std::optional<AppError> error = outcome.error()) {
                    ReportError(FormName, QStringLiteral("CStart_Click"), *error);
                    return;
                }
                prompts().message(this, QStringLiteral("Delete successfully."), MessageTitle, MsgIcon::Information);
            });
    });
}

// ---- loading a script ----

void MdeleteWindow::CSearch_Click()
{
    runGuarded(FormName, QStringLiteral("CSearch_Click"), [this] {
        const QString chosen = prompts().openFileName(this, QStringLiteral("Open"),
                                                      appSubPath(QStringLiteral("Export")), QStringLiteral("(*.sql)"));
        if (!chosen.isEmpty())
            txtFile_->setText(chosen);
        const QFileInfo file(txtFile_->text());
        if (!txtFile_->text().isEmpty() && file.exists() && file.size() > 0) {
            // Read whole before anything changes, so a file that cannot be read leaves the lists.
            const QStringList lines = readTextFileLines(file.filePath(), LineEnds::CrLfOrLf);
            lDelete_->clear();
            // Reloading the table list clears every tick; once is enough for the whole file.
            LoadLTable(QString(), [this, lines] {
                lDelete_->addItems(lines);
                tickTablesOfStatements();
            });
            return;
        }
        tickTablesOfStatements();
    });
}

void MdeleteWindow::tickTablesOfStatements()
{
    const QSet<QString> tables = tablesDeletedBy(statementLines());
    for (int i = 0; i < lv1_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lv1_->topLevelItem(i);
        if (tables.contains(item->text(0)))
            item->setCheckState(0, Qt::Checked);
    }
}

} // namespace zobran
