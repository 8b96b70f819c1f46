#include "generate_ui/MgenWindow.h"

#include "basics/AppPath.h"
#include "db/CatalogQueries.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/ResultSetModel.h"
#include "db/SharedConnections.h"
#include "db/SqlNames.h"
#include "db/Statement.h"
#include "db/TimeLimits.h"
#include "generate/GenerationRun.h"
#include "generate/LeadingNumber.h"
#include "generate/PluCleanup.h"
#include "generate/RecordCounter.h"
#include "generate_ui/MgenChecks.h"
#include "ui/FocusKeys.h"
#include "ui/ListFill.h"
#include "ui/Placement.h"
#include "ui/Prompts.h"
#include "ui/ReportError.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QThread>
#include <QTreeWidget>

namespace zobran {

namespace {

const QString FormName = QStringLiteral("MGEN");
const QString MessageTitle = QStringLiteral("Message");
// SQL Server's limit for login names and passwords: a remembered value is never cut.
constexpr int LoginChars = 128;

} // namespace

MgenWindow::MgenWindow(QWidget* parent)
    : ModalWindow(parent),
      writer_(lines_,
              ScriptFileWriter::Hooks{{},
                                      [this](const QString& defaultName) { return askFileName(defaultName); },
                                      [this](const QString& text) {
                                          if (RunProgress* progress = writerProgress_.load())
                                              progress->setStatus(text);
                                          else
                                              lblBar_->setText(text);
                                      }}),
      generator_(lines_)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Utility - Generate Script"));
    setFont(QFont(QStringLiteral("Verdana"), 8));
    setFixedSize(twipsToPixels(15300), twipsToPixels(10500));
    buildControls();
    setTabOrder();
    connection_ = ConnectionFields(txtField_[0], txtField_[1], txtField_[2], txtField_[3], txtField_[4]);
    setRunControls(cStop_, lblBar_);
    recordBuiltState();
}

MgenWindow::~MgenWindow()
{
    gridModel_->setResultSet(nullptr);
}

void MgenWindow::buildControls()
{
    frame1_ = placeControl<QGroupBox>(this, QStringLiteral("Frame1"), twipsRect(120, 120, 4935, 2175));
    frame1_->setFont(QFont(QStringLiteral("Tahoma"), 8));
    const std::array<QString, 5> captions{QStringLiteral("Driver"), QStringLiteral("Server Name"),
                                          QStringLiteral("Database Name"), QStringLiteral("User ID"),
                                          QStringLiteral("Password")};
    for (int i = 0; i < 5; ++i)
        label1_[i] = placeLabel(frame1_, QStringLiteral("Label1_%1").arg(i), captions[i],
                                twipsRect(240, 240 + 360 * i, 1500, 330));
    txtField_[0] = placeTextBox(frame1_, QStringLiteral("TxtField_0"), twipsRect(1800, 240, 2895, 330), 100);
    txtField_[0]->setReadOnly(true);
    txtField_[1] = placeTextBox(frame1_, QStringLiteral("TxtField_1"), twipsRect(1800, 600, 2895, 330), 100);
    txtField_[2] = placeTextBox(frame1_, QStringLiteral("TxtField_2"), twipsRect(1800, 960, 2895, 330), 100);
    txtField_[3] = placeTextBox(frame1_, QStringLiteral("TxtField_3"), twipsRect(1800, 1320, 1455, 330), LoginChars);
    txtField_[4] = placeTextBox(frame1_, QStringLiteral("TxtField_4"), twipsRect(1800, 1680, 1455, 330), LoginChars);
    txtField_[4]->setEchoMode(QLineEdit::Password);
    cBut_[0]
        = placeButton(frame1_, QStringLiteral("CBut_0"), QStringLiteral("C&onnect"), twipsRect(3480, 1680, 1215, 375));

    lTable_ = placeControl<QListWidget>(this, QStringLiteral("LTable"), twipsRect(120, 2400, 2655, 7440));
    lField_ = placeControl<QListWidget>(this, QStringLiteral("LField"), twipsRect(2760, 2400, 2295, 7440));

    label2_[0] = placeLabel(this, QStringLiteral("Label2_0"), QStringLiteral("SQL"), twipsRect(5160, 240, 975, 375));
    sqlField_ = placeControl<QPlainTextEdit>(this, QStringLiteral("SQLField"), twipsRect(6360, 240, 7215, 885));
    sqlField_->setTabChangesFocus(true);
    label2_[1]
        = placeLabel(this, QStringLiteral("Label2_1"), QStringLiteral("Table Name"), twipsRect(5160, 1200, 1095, 375));
    tblName_ = placeControl<QLineEdit>(this, QStringLiteral("TblName"), twipsRect(6360, 1200, 2655, 330));
    cClear_ = placeButton(this, QStringLiteral("CClear"), QStringLiteral("C&lear"), twipsRect(10800, 1200, 1335, 375));
    cBut_[1]
        = placeButton(this, QStringLiteral("CBut_1"), QStringLiteral("&Add Query"), twipsRect(12240, 1200, 1335, 375));
    cView_ = placeButton(this, QStringLiteral("CView"), QStringLiteral("&View Grid"), twipsRect(13680, 240, 1335, 375));
    cBut_[2] = placeButton(this, QStringLiteral("CBut_2"), QStringLiteral("&Refresh Grid"),
                           twipsRect(13680, 720, 1335, 375));
    cBut_[3] = placeButton(this, QStringLiteral("CBut_3"), QStringLiteral("&Execute SQL"),
                           twipsRect(13680, 1200, 1335, 375));

    lv_ = placeControl<QTreeWidget>(this, QStringLiteral("LV"), twipsRect(5160, 1680, 9975, 7215));
    lv_->setRootIsDecorated(false);
    lv_->setUniformRowHeights(true);
    lv_->setAllColumnsShowFocus(true);
    lv_->setColumnCount(0);
    lv_->setHeaderLabels({});

    dGrid_ = placeControl<QTableView>(this, QStringLiteral("DGrid"), twipsRect(5160, 1680, 9975, 7215));
    dGrid_->hide();
    dGrid_->setSortingEnabled(false);
    dGrid_->horizontalHeader()->setSectionsClickable(true);
    dGrid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dGrid_->verticalHeader()->setDefaultSectionSize(dGrid_->fontMetrics().height() + 4);
    dGrid_->setWordWrap(false);
    gridModel_ = new db::ResultSetModel(this);
    dGrid_->setModel(gridModel_);

    frame2_ = placeControl<QGroupBox>(this, QStringLiteral("Frame2"), twipsRect(5160, 5640, 9975, 2295));
    frame2_->hide();
    sqlListBox_ = placeControl<QListView>(frame2_, QStringLiteral("SQLListBox"), twipsRect(240, 240, 9495, 1785));
    sqlListBox_->setUniformItemSizes(true);
    sqlListBox_->setModel(&lines_);

    // The two "Advance" frames share one place; the tabs on their top edge switch between them.
    advance_ = placeControl<QStackedWidget>(this, QStringLiteral("Advance"), twipsRect(5160, 9000, 9975, 855));
    frame4_ = new QGroupBox(QStringLiteral("Advance"), advance_);
    frame4_->setObjectName(QStringLiteral("Frame4"));
    frame3_ = new QGroupBox(QStringLiteral("Advance"), advance_);
    frame3_->setObjectName(QStringLiteral("Frame3"));
    advance_->addWidget(frame4_);
    advance_->addWidget(frame3_);

    label1_[5] = placeLabel(frame3_, QStringLiteral("Label1_5"), QStringLiteral("Total Record"),
                            twipsRect(240, 360, 1300, 330));
    totalRecord_
        = placeTextBox(frame3_, QStringLiteral("TxtField_5"), twipsRect(1560, 360, 1455, 330), 20, TextAlign::Right);
    totalRecord_->setReadOnly(true);
    label1_[6] = placeLabel(frame3_, QStringLiteral("Label1_6"), QStringLiteral("Records / Files"),
                            twipsRect(3600, 360, 1500, 330));
    recordsPerFile_
        = placeTextBox(frame3_, QStringLiteral("TxtField_6"), twipsRect(5160, 360, 1455, 330), 20, TextAlign::Right);
    label1_[7] = placeLabel(frame3_, QStringLiteral("Label1_7"), QStringLiteral("per"), twipsRect(6600, 360, 450, 330));
    filesWished_
        = placeTextBox(frame3_, QStringLiteral("TxtField_7"), twipsRect(7080, 360, 1455, 330), 20, TextAlign::Right);
    cRefreshRec_ = placeButton(frame3_, QStringLiteral("CRefreshRec"), QStringLiteral("Re&fresh"),
                               twipsRect(8640, 360, 1215, 375));

    label1_[8] = placeLabel(frame4_, QStringLiteral("Label1_8"), QStringLiteral("Limit Records"),
                            twipsRect(240, 360, 1300, 330));
    limitRecords_
        = placeTextBox(frame4_, QStringLiteral("TxtField_8"), twipsRect(1560, 360, 1455, 330), 20, TextAlign::Right);
    label3_ = placeLabel(frame4_, QStringLiteral("Label3"), QStringLiteral("* 0 = No Limit"),
                         twipsRect(3240, 360, 1600, 330));
    setTextColor(label3_, Qt::blue);
    check1_ = placeControl<QCheckBox>(frame4_, QStringLiteral("Check1_0"), twipsRect(4920, 360, 2655, 255));
    check1_->setText(QStringLiteral("Auto Generate File Name"));
    check1_->setChecked(true);
    filesWished_->setText(QStringLiteral("1"));
    limitRecords_->setText(QStringLiteral("0"));

    advanceTabs_ = new QTabBar(this);
    advanceTabs_->setObjectName(QStringLiteral("AdvanceTabs"));
    advanceTabs_->setDrawBase(false);
    advanceTabs_->setExpanding(false);
    advanceTabs_->addTab(QStringLiteral("Limit Records"));
    advanceTabs_->addTab(QStringLiteral("Total Record"));
    const QSize tabsSize = advanceTabs_->sizeHint();
    advanceTabs_->setGeometry(advance_->geometry().right() - tabsSize.width() - 8,
                              advance_->y() - tabsSize.height() / 2 + 4, tabsSize.width(), tabsSize.height());
    connect(advanceTabs_, &QTabBar::currentChanged, advance_, &QStackedWidget::setCurrentIndex);

    lblBar_ = placeLabel(this, QStringLiteral("LblBar"), QString(), twipsRect(5160, 9960, 4455, 375));
    setTextColor(lblBar_, Qt::blue);
    cNew_ = placeButton(this, QStringLiteral("CNew"), QStringLiteral("&New Script"), twipsRect(9720, 9960, 1695, 375));
    cBut_[4] = placeButton(this, QStringLiteral("CBut_4"), QStringLiteral("&Generate Script"),
                           twipsRect(11520, 9960, 1695, 375));
    cClose_ = placeButton(this, QStringLiteral("CClose"), QStringLiteral("&Close"), twipsRect(13320, 9960, 1695, 375));
    command1_
        = placeButton(this, QStringLiteral("Command1"), QStringLiteral("Command1"), twipsRect(9120, 840, 1215, 735));
    command1_->raise();
    // Over the New Script button while a run goes.
    cStop_ = placeButton(this, QStringLiteral("CStop"), QStringLiteral("&Stop"), twipsRect(9720, 9960, 1695, 375));

    for (int i = 0; i < static_cast<int>(cBut_.size()); ++i)
        connect(cBut_[i], &QPushButton::clicked, this, [this, i] { CBut_Click(i); });
    connect(cView_, &QPushButton::clicked, this, [this] { CView_Click(); });
    connect(cClear_, &QPushButton::clicked, this, [this] { CClear_Click(); });
    connect(cNew_, &QPushButton::clicked, this, [this] { CNew_Click(); });
    connect(cClose_, &QPushButton::clicked, this, [this] { close(); });
    connect(cRefreshRec_, &QPushButton::clicked, this, [this] { CRefreshRec_Click(); });
    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(lTable_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !isBusy())
            LTable_Click();
    });
    // The first click of a double click has started reading the fields: the double click waits for it.
    connect(lTable_, &QListWidget::itemDoubleClicked, this, [this] {
        if (isBusy())
            pendingDoubleClick_ = true;
        else
            LTable_DblClick();
    });
    connect(dGrid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { DGrid_HeadClick(c); });

    auto* keys = new FocusKeys(this);
    keys->selectAllOnFocus({txtField_[0], txtField_[1], txtField_[2], txtField_[3], txtField_[4], totalRecord_,
                            recordsPerFile_, filesWished_, limitRecords_});
    lv_->installEventFilter(this);
}

void MgenWindow::setTabOrder()
{
    const std::vector<QWidget*> order{
        txtField_[0], txtField_[1], txtField_[2], txtField_[3],  txtField_[4],    cBut_[0],     lTable_,
        lField_,      sqlField_,    cBut_[1],     limitRecords_, check1_,         cBut_[4],     cClose_,
        cNew_,        tblName_,     cClear_,      cView_,        cBut_[2],        cBut_[3],     command1_,
        lv_,          dGrid_,       advanceTabs_, totalRecord_,  recordsPerFile_, filesWished_, cRefreshRec_};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---- load and unload ----

void MgenWindow::formLoad()
{
    runGuarded(FormName, QStringLiteral("Form_Load"), [this] {
        // What the last opening left besides the controls.
        releaseGrid();
        lines_.clear();
        sortSuffix_.clear();

        DesignLayout();
        txtField_[0]->setText(db::SqlServerDriver);
        connection_.loadRemembered();
        lv_->setHeaderLabels({QStringLiteral("SQL"), QStringLiteral("Table Name")});
        lv_->setColumnWidth(0, twipsToPixels(7000));
        lv_->setColumnWidth(1, twipsToPixels(2600));
        txtField_[0]->setFocus();
    });
}

void MgenWindow::formUnload()
{
    releaseGrid();
    pendingDoubleClick_ = false;
    runGuarded(
        FormName, QStringLiteral("Form_Unload"), [] { closeSharedVariable(SharedConnection()); },
        ReportMode::QuietWhenNoConnection);
}

void MgenWindow::DesignLayout()
{
    runGuarded(FormName, QStringLiteral("DesignLayout"), [this] { dGrid_->setGeometry(lv_->geometry()); });
}

// ---- keyboard ----

bool MgenWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == lv_)
        LV_KeyDown(static_cast<QKeyEvent*>(event)->key());
    return ModalWindow::eventFilter(watched, event);
}

// ---- table and field lists ----

void MgenWindow::clearTablesAndQuery()
{
    {
        const QSignalBlocker blocker(lTable_);
        lTable_->clear();
    }
    lField_->clear();
    sqlField_->clear();
    tblName_->clear();
}

QString MgenWindow::selectedTable() const
{
    const QListWidgetItem* item = lTable_->currentItem();
    return item ? item->text() : QString();
}

void MgenWindow::LoadLTable(WindowStep& step)
{
    step.tablesRead = true;
    step.reports.runGuarded(FormName, QStringLiteral("LoadLTable"),
                            [&] { step.tables = readListQuery(db::tableListQuery(), step.use()); });
}

void MgenWindow::showTables(const WindowStep& step)
{
    // The lists are emptied even when the new one could not be read.
    if (!step.tablesRead)
        return;
    clearTablesAndQuery();
    if (step.tables)
        fillListBox(*lTable_, *step.tables);
}

void MgenWindow::LTable_Click()
{
    lField_->clear();
    sqlField_->clear();
    tblName_->clear();
    releaseGrid();
    const QString table = selectedTable();
    startStep([table](WindowStep& step) { readFields(step, table); },
              [this](WindowStep& step) {
                  if (step.fields)
                      lField_->addItems(*step.fields);
                  // A double click that came while the fields were read goes on from here.
                  if (std::exchange(pendingDoubleClick_, false))
                      LTable_DblClick();
              },
              {lTable_});
}

void MgenWindow::readFields(WindowStep& step, const QString& table)
{
    step.reports.runGuarded(FormName, QStringLiteral("LTable_Click"),
                            [&] { step.fields = readListQuery(db::fieldListQuery(table), step.use()); });
}

void MgenWindow::LTable_DblClick()
{
    // The click's part (the fields), then the table's rows: one run, each step reported on its own.
    lField_->clear();
    sqlField_->clear();
    tblName_->clear();
    releaseGrid();
    const QString table = selectedTable();
    QString quoted;
    std::optional<AppError> nameFailure;
    try {
        // The name as the server that listed it takes it: quoted when it is not a regular name.
        quoted = db::quotedName(table, connectionOf(SharedConnection()).serverInfo());
    } catch (const std::exception& e) {
        nameFailure = toAppError(e);
    }
    const QString connectionString = nameFailure ? QString() : prepareConnection();
    const QString sql = QStringLiteral("Select * From ") + quoted;
    startStep(
        [table, sql, nameFailure, connectionString](WindowStep& step) {
            readFields(step, table);
            if (nameFailure) {
                step.reports.add(FormName, QStringLiteral("LTable_DblClick"), *nameFailure);
                return;
            }
            RunConnection(step, connectionString);
            ConnectDataSource(step, sql);
        },
        [this, quoted, sql, nameFailure](WindowStep& step) {
            if (step.fields)
                lField_->addItems(*step.fields);
            if (nameFailure)
                return;
            sqlField_->setPlainText(sql);
            tblName_->setText(quoted);
            showGridRows(step);
        });
}

// ---- connection and grid ----

QString MgenWindow::prepareConnection()
{
    // The boxes become the shared parameters and are remembered here, on the window's thread; the
    // connection opens on the run's.
    QString connectionString;
    runGuarded(FormName, QStringLiteral("RunConnection"),
               [&] { connectionString = connection_.prepareSharedConnection(); });
    return connectionString;
}

void MgenWindow::RunConnection(WindowStep& step, const QString& connectionString)
{
    step.reconnected = true;
    step.reports.runGuarded(QStringLiteral("Module1"), QStringLiteral("ConnectDSN"),
                            [&] { openConnectionInto(step.connection, connectionString); });
}

void MgenWindow::ConnectDataSource(WindowStep& step, const QString& sql)
{
    step.gridSql = sql;
    step.reports.runGuarded(FormName, QStringLiteral("ConnectDataSource"),
                            [&] { step.grid = db::openStaticResultSet(sql, step.use(), readingProgress(step)); });
}

void MgenWindow::showGridRows(WindowStep& step)
{
    if (!step.gridSql)
        return;
    SqlText() = *step.gridSql;
    if (!step.grid)
        return;
    GridResultSet() = std::move(step.grid);
    gridModel_->setResultSet(GridResultSet().get());
}

void MgenWindow::releaseGrid()
{
    gridModel_->setResultSet(nullptr);
    GridResultSet().reset();
}

void MgenWindow::showGrid(bool shown)
{
    dGrid_->setVisible(shown);
    lv_->setVisible(!shown);
    cView_->setText(shown ? QStringLiteral("&Hide Grid") : QStringLiteral("&View Grid"));
}

void MgenWindow::DGrid_HeadClick(int column)
{
    runGuarded(FormName, QStringLiteral("DGrid_HeadClick"), [this, column] {
        sortSuffix_ = sortSuffix_ == QStringLiteral(" Desc") ? QString() : QStringLiteral(" Desc");
        db::ResultSet* grid = GridResultSet().get();
        if (!grid)
            throw db::noConnectionError();
        grid->setSort(QString::fromStdString(grid->field(column).name) + sortSuffix_);
    });
}

void MgenWindow::CView_Click()
{
    runGuarded(FormName, QStringLiteral("CView_Click"), [this] { showGrid(dGrid_->isHidden()); });
}

void MgenWindow::CClear_Click()
{
    runGuarded(FormName, QStringLiteral("CClear_Click"), [this] {
        sqlField_->clear();
        tblName_->clear();
        releaseGrid();
    });
}

void MgenWindow::CNew_Click()
{
    runGuarded(FormName, QStringLiteral("CNew_Click"), [this] {
        clearTablesAndQuery();
        lv_->clear();
        lines_.clear();
        releaseGrid();
        txtField_[0]->setFocus();
    });
}

void MgenWindow::LV_KeyDown(int key)
{
    runGuarded(FormName, QStringLiteral("LV_KeyDown"), [this, key] {
        if (key != Qt::Key_Delete || lv_->topLevelItemCount() == 0)
            return;
        // Nothing selected: nothing to remove.
        if (QTreeWidgetItem* selected = lv_->currentItem(); selected && selected->isSelected())
            delete selected;
    });
}

// ---- the window's runs ----

db::Connection& MgenWindow::WindowStep::use()
{
    db::Connection& current = connectionOf(connection);
    if (used != &current) {
        runUse.reset();
        runUse.emplace(current, *stop);
        used = &current;
    }
    return current;
}

void MgenWindow::onWindowThread(const std::function<void()>& action)
{
    // A generation asks and reports from its run's thread; the windows show on the window's, and
    // the run waits for them.
    if (QThread::currentThread() == thread())
        action();
    else
        QMetaObject::invokeMethod(this, action, Qt::BlockingQueuedConnection);
}

std::optional<QString> MgenWindow::askFileName(const QString& defaultName)
{
    std::optional<QString> answer;
    onWindowThread([&] {
        answer = prompts().inputBox(this, QStringLiteral("Enter a name for the file:"), QStringLiteral("Choose Name"),
                                    defaultName);
    });
    return answer;
}

void MgenWindow::startStep(std::function<void(WindowStep&)> work, std::function<void(WindowStep&)> shown,
                           std::vector<QWidget*> live)
{
    auto step = std::make_shared<WindowStep>();
    step->connection = SharedConnection();
    startRun(
        [step, work = std::move(work)](const StopSource& stop, RunProgress& progress) {
            step->progress = &progress;
            step->stop = &stop;
            work(*step);
            step->release();
            if (!step->keepsStatus)
                progress.setStatus(QString());
        },
        [this, step, shown = std::move(shown)](const BackgroundRun::Outcome& outcome) {
            if (outcome.givenUp) {
                // The run still holds what it opened; nothing of it is shown.
                lblBar_->setText(QStringLiteral("Stopped: the server has not answered yet."));
                return;
            }
            if (step->reconnected)
                SharedConnection() = step->connection;
            step->reports.reportAll();
            if (const std::optional<AppError> error = outcome.error()) {
                ReportError(FormName, QStringLiteral("Run"), *error);
                return;
            }
            if (outcome.stopped()) {
                lblBar_->setText(QStringLiteral("Stopped."));
                return;
            }
            shown(*step);
        },
        std::move(live));
}

std::function<void(std::size_t rows)> MgenWindow::readingProgress(WindowStep& step)
{
    // Shown from the start: a query the server is slow to answer is seen to be waited for.
    step.progress->setStatus(readingStatusText(0));
    return [&step](std::size_t rows) { step.progress->setStatus(readingStatusText(rows)); };
}

// ---- command buttons ----

bool MgenWindow::buttonFieldsValid(int index)
{
    const std::optional<MgenRefusal> refusal
        = mgenButtonRefusal(index, connection_.texts(), sqlField_->toPlainText(), tblName_->text());
    if (!refusal)
        return true;
    prompts().message(this, refusal->message, MessageTitle, MsgIcon::Critical);
    switch (refusal->box) {
    case MgenBox::Sql:
        sqlField_->setFocus();
        break;
    case MgenBox::TableName:
        tblName_->setFocus();
        break;
    default:
        txtField_[static_cast<std::size_t>(refusal->box)]->setFocus();
        break;
    }
    return false;
}

void MgenWindow::CBut_Click(int index)
{
    const QString clickName = arrayClickName(QStringLiteral("CBut& "), index);
    runGuarded(FormName, clickName, [this, index, clickName] {
        if (!buttonFieldsValid(index))
            return;
        releaseGrid();
        const QString connectionString = prepareConnection();
        const QString sql = sqlField_->toPlainText();
        startStep(
            [index, clickName, connectionString, sql](WindowStep& step) {
                RunConnection(step, connectionString);
                switch (index) {
                case ConnectButton:
                    LoadLTable(step);
                    break;
                case RefreshGridButton:
                    ConnectDataSource(step, sql);
                    break;
                case ExecuteSqlButton:
                    step.executed = step.reports.runGuarded(FormName, clickName, [&] {
                        db::Statement statement(step.use());
                        statement.execute(sql);
                    });
                    break;
                default:
                    break;
                }
            },
            [this, index](WindowStep& step) {
                switch (index) {
                case ConnectButton:
                    showTables(step);
                    break;
                case AddQueryButton: {
                    showGrid(false);
                    auto* entry = new QTreeWidgetItem(lv_);
                    entry->setText(0, sqlField_->toPlainText());
                    entry->setText(1, tblName_->text());
                    break;
                }
                case RefreshGridButton:
                    showGridRows(step);
                    showGrid(true);
                    break;
                case ExecuteSqlButton:
                    if (step.executed)
                        prompts().message(this, QStringLiteral("Execute Done."), MessageTitle, MsgIcon::Exclamation);
                    break;
                case GenerateScriptButton:
                    MsgAnswer() = prompts().askYesNo(
                        this, QStringLiteral("Press [Yes] to Generate SQL File, Press [No] to Generate KX File."),
                        QStringLiteral("Question"), MsgIcon::Question);
                    scriptKind_ = MsgAnswer() == answer::No ? ScriptKind::Kx : ScriptKind::Sql;
                    GenerateScript();
                    break;
                default:
                    break;
                }
            });
    });
}

// ---- generation ----

void MgenWindow::GenerateScript()
{
    outcome_ = GenerationOutcome();
    if (generationWorking_ && generationWorking_->load()) {
        prompts().message(this,
                          QStringLiteral("The generation that was stopped has not ended yet: the server has not "
                                         "answered. Try again when it has."),
                          MessageTitle, MsgIcon::Critical);
        return;
    }
    std::vector<ScriptQuery> queries;
    queries.reserve(static_cast<std::size_t>(lv_->topLevelItemCount()));
    for (int i = 0; i < lv_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* entry = lv_->topLevelItem(i);
        queries.push_back({entry->text(0), entry->text(1)});
    }
    const GenerationRequest request{std::move(queries), scriptKind_, limitRecords_->text()};
    writer_.setAutoName(check1_->isChecked());
    // The hidden line list follows the lines again when the run has ended.
    sqlListBox_->setModel(nullptr);
    auto result = std::make_shared<GenerationResult>();
    generationWorking_ = std::make_shared<std::atomic<bool>>(true);
    auto step = std::make_shared<WindowStep>();
    step->connection = SharedConnection();
    startRun(
        [this, request, result, step, working = generationWorking_](const StopSource& stop, RunProgress& progress) {
            // Until this ends, the generator, the writer and the lines are this run's.
            const struct Working {
                std::atomic<bool>& flag;
                ~Working() { flag = false; }
            } busyGenerating{*working};
            writerProgress_ = &progress;
            const struct Unhooked {
                std::atomic<RunProgress*>& hook;
                ~Unhooked() { hook = nullptr; }
            } unhooked{writerProgress_};
            GenerationHooks hooks;
            // Reported at once, once a run; the run waits for the window to close (the user may free
            // space meanwhile), and the lines go into the next file.
            hooks.firstWriteFailed = [this](const AppError& error) {
                onWindowThread([&] { ReportError(FormName, QStringLiteral("SyncSQLFile"), error); });
            };
            // Known on the window's side as soon as written, also for a run that is given up.
            hooks.fileWritten = [this, &progress](const QString& path) {
                progress.post([this, path] { outcome_.lastCompleteFile = path; });
            };
            runGeneration(request, connectionOf(step->connection), generator_, writer_, stop, progress, *result, hooks);
        },
        [this, result](const BackgroundRun::Outcome& outcome) {
            sqlListBox_->setModel(&lines_);
            lblBar_->clear();
            if (outcome.givenUp) {
                // The run still holds the generator: only what was heard of it counts.
                outcome_.stopped = true;
                outcome_.stoppedByUser = true;
                showGenerationMessage(false);
                return;
            }
            outcome_.lastCompleteFile = result->lastCompleteFile;
            outcome_.failedWrites = result->failedWrites;
            if (result->failure)
                ReportError(FormName, QStringLiteral("GenerateScript"), *result->failure);
            if (result->cutFailure)
                ReportError(FormName, QStringLiteral("CountLength"), *result->cutFailure);
            if (const std::optional<AppError> error = outcome.error())
                ReportError(FormName, QStringLiteral("GenerateScript"), *error);
            // Stopped: the files written before stay, the one being written was taken back.
            if (outcome.stopped())
                outcome_.stoppedByUser = true;
            // Lines still pending at the end were built but never written: the script is incomplete.
            if (!result->ended || !lines_.isEmpty())
                outcome_.stopped = true;
            showGenerationMessage(true);
        });
}

void MgenWindow::showGenerationMessage(bool countsKnown)
{
    const GenerationMessage message
        = generationClosingMessage(outcome_, scriptKind_, countsKnown ? generator_.valuesWithCarriageReturn() : 0,
                                   countsKnown ? generator_.statementsNotRestorable() : 0);
    prompts().message(this, message.text, MessageTitle, message.isFailure ? MsgIcon::Critical : MsgIcon::Exclamation);
}

// ---- record counter ----

void MgenWindow::CRefreshRec_Click()
{
    totalRecord_->clear();
    if (leadingNumber(filesWished_->text()) == 0)
        filesWished_->setText(QStringLiteral("1"));
    QStringList queries;
    for (int i = 0; i < lv_->topLevelItemCount(); ++i)
        queries << lv_->topLevelItem(i)->text(0);
    const QString per = filesWished_->text();
    auto texts = std::make_shared<std::optional<RecordCountTexts>>();
    startStep(
        [this, queries, per, texts](WindowStep& step) {
            step.reports.runGuarded(FormName, QStringLiteral("RefreshRecords"), [&] {
                *texts = countRecords(per, queries, [&](const QString& sql) {
                    return db::countQueryRows(sql, step.use(), readingProgress(step));
                });
            });
        },
        [this, texts](WindowStep&) {
            if (!*texts)
                return;
            totalRecord_->setText((*texts)->totalRecords);
            recordsPerFile_->setText((*texts)->recordsPerFile);
            filesWished_->setText((*texts)->per);
        });
}

// ---- duplicate PLU clean-up ----

void MgenWindow::Command1_Click()
{
    auto deleted = std::make_shared<std::optional<long>>();
    startStep(
        [deleted](WindowStep& step) {
            // The label keeps the last item code it showed.
            step.keepsStatus = true;
            step.reports.runGuarded(FormName, QStringLiteral("Command1_Click"), [&] {
                *deleted = removeHighestDuplicatePlu(
                    step.use(), [&](const QString& itemCode) { step.progress->setStatus(itemCode); });
            });
        },
        [this, deleted](WindowStep&) {
            if (*deleted)
                prompts().message(this, QString::number(**deleted) + QStringLiteral(" FUCK DONE !!!"), ProgramTitle,
                                  MsgIcon::None);
        });
}

} // namespace zobran
