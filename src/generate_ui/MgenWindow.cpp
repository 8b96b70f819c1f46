#include "generate_ui/MgenWindow.h"

#include "basics/AppPath.h"
#include "db/CatalogQueries.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/ResultSetModel.h"
#include "db/SharedConnections.h"
#include "db/SqlNames.h"
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
                                      [this](const QString& defaultName) {
                                          return prompts().inputBox(this, QStringLiteral("Enter a name for the file:"),
                                                                    QStringLiteral("Choose Name"), defaultName);
                                      },
                                      [this](const QString& text) { busy_.showStatus(text); }}),
      generator_(lines_)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Utility - Generate Script"));
    setFont(QFont(QStringLiteral("Verdana"), 8));
    setFixedSize(twipsToPixels(15300), twipsToPixels(10500));
    buildControls();
    setTabOrder();
    connection_ = ConnectionFields(txtField_[0], txtField_[1], txtField_[2], txtField_[3], txtField_[4]);
    busy_ = BusyGuard(lblBar_);
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

    for (int i = 0; i < static_cast<int>(cBut_.size()); ++i)
        connect(cBut_[i], &QPushButton::clicked, this, [this, i] { CBut_Click(i); });
    connect(cView_, &QPushButton::clicked, this, [this] { CView_Click(); });
    connect(cClear_, &QPushButton::clicked, this, [this] { CClear_Click(); });
    connect(cNew_, &QPushButton::clicked, this, [this] { CNew_Click(); });
    connect(cClose_, &QPushButton::clicked, this, [this] { close(); });
    connect(cRefreshRec_, &QPushButton::clicked, this, [this] { CRefreshRec_Click(); });
    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(lTable_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            LTable_Click();
    });
    connect(lTable_, &QListWidget::itemDoubleClicked, this, [this] { LTable_DblClick(); });
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
        // A loaded window starts from its designed state.
        releaseGrid();
        showGrid(false);
        clearTablesAndQuery();
        lv_->clear();
        lines_.clear();
        lblBar_->clear();
        totalRecord_->clear();
        recordsPerFile_->clear();
        check1_->setChecked(true);
        advanceTabs_->setCurrentIndex(0);
        sortSuffix_.clear();

        DesignLayout();
        txtField_[0]->setText(db::SqlServerDriver);
        connection_.loadRemembered();
        filesWished_->setText(QStringLiteral("1"));
        limitRecords_->setText(QStringLiteral("0"));
        lv_->setHeaderLabels({QStringLiteral("SQL"), QStringLiteral("Table Name")});
        lv_->setColumnWidth(0, twipsToPixels(7000));
        lv_->setColumnWidth(1, twipsToPixels(2600));
        txtField_[0]->setFocus();
    });
}

void MgenWindow::formUnload()
{
    releaseGrid();
    runGuarded(
        FormName, QStringLiteral("Form_Unload"), [] { connectionOf(SharedConnection()).close(); },
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

void MgenWindow::LoadLTable()
{
    runGuarded(FormName, QStringLiteral("LoadLTable"), [this] {
        clearTablesAndQuery();
        fillListFromQuery(*lTable_, db::tableListQuery(), connectionOf(SharedConnection()));
    });
}

void MgenWindow::LTable_Click()
{
    runGuarded(FormName, QStringLiteral("LTable_Click"), [this] {
        lField_->clear();
        sqlField_->clear();
        tblName_->clear();
        releaseGrid();
        lField_->addItems(readListQuery(db::fieldListQuery(selectedTable()), connectionOf(SharedConnection())));
    });
}

void MgenWindow::LTable_DblClick()
{
    LTable_Click();
    runGuarded(FormName, QStringLiteral("LTable_DblClick"), [this] {
        // The name as the server that listed it takes it: quoted when it is not a regular name.
        const QString table = db::quotedName(selectedTable(), connectionOf(SharedConnection()).serverInfo());
        sqlField_->setPlainText(QStringLiteral("Select * From ") + table);
        tblName_->setText(table);
        releaseGrid();
        RunConnection();
        ConnectDataSource();
    });
}

// ---- connection and grid ----

void MgenWindow::RunConnection()
{
    runGuarded(FormName, QStringLiteral("RunConnection"), [this] { connection_.runSharedConnection(); });
}

void MgenWindow::ConnectDataSource()
{
    runGuarded(FormName, QStringLiteral("ConnectDataSource"), [this] {
        SqlText() = sqlField_->toPlainText();
        releaseGrid();
        GridResultSet() = db::openStaticResultSet(SqlText(), connectionOf(SharedConnection()), readingProgress());
        endReading();
        gridModel_->setResultSet(GridResultSet().get());
    });
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
    runGuarded(FormName, arrayClickName(QStringLiteral("CBut& "), index), [this, index] {
        if (!buttonFieldsValid(index))
            return;
        releaseGrid();
        RunConnection();
        switch (index) {
        case ConnectButton:
            LoadLTable();
            break;
        case AddQueryButton: {
            showGrid(false);
            auto* entry = new QTreeWidgetItem(lv_);
            entry->setText(0, sqlField_->toPlainText());
            entry->setText(1, tblName_->text());
            break;
        }
        case RefreshGridButton:
            releaseGrid();
            ConnectDataSource();
            showGrid(true);
            break;
        case ExecuteSqlButton:
            connectionOf(SharedConnection()).execute(sqlField_->toPlainText());
            prompts().message(this, QStringLiteral("Execute Done."), MessageTitle, MsgIcon::Exclamation);
            break;
        case GenerateScriptButton:
            MsgAnswer() = prompts().askYesNo(
                this, QStringLiteral("Press [Yes] to Generate SQL File, Press [No] to Generate KX File."),
                QStringLiteral("Question"), MsgIcon::Question);
            scriptKind_ = MsgAnswer() == answer::No ? ScriptKind::Kx : ScriptKind::Sql;
            GenerateScript();
            showGenerationMessage();
            break;
        default:
            break;
        }
    });
}

// ---- generation ----

void MgenWindow::GenerateScript()
{
    outcome_ = GenerationOutcome();
    std::vector<ScriptQuery> queries;
    const bool ended = runGuarded(FormName, QStringLiteral("GenerateScript"), [&] {
        queries.reserve(static_cast<std::size_t>(lv_->topLevelItemCount()));
        for (int i = 0; i < lv_->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* entry = lv_->topLevelItem(i);
            queries.push_back({entry->text(0), entry->text(1)});
        }
        ScriptGenerator::Callbacks callbacks;
        callbacks.status = [this](const QString& text) { busy_.showStatus(text); };
        callbacks.rowProgress = [this](long row, long total) {
            if (busy_.progressDue())
                busy_.showProgress(generateStatusText(row, total));
        };
        callbacks.fileDue = [this](qint16 fileNumber) {
            if (SyncSQLFile(fileNumber))
                outcome_.lastCompleteFile = writer_.lastScriptFile();
            else
                ++outcome_.failedWrites;
        };
        // Each query is read once; its statements are built as its rows arrive.
        const ScriptGenerator::QueryReader readQuery = [this](const QString& sql, db::RowSink& rows) {
            db::readQueryRows(sql, connectionOf(SharedConnection()), rows, readingProgress());
        };
        if (!queries.empty())
            generator_.setServer(connectionOf(SharedConnection()).serverInfo());
        try {
            generator_.run(queries, scriptKind_, limitRecords_->text(), readQuery, callbacks);
        } catch (const CountLengthError& e) {
            ReportError(FormName, QStringLiteral("CountLength"), e);
            outcome_.stopped = true;
        }
    });
    // Lines still pending at the end were built but never written: the script is incomplete.
    if (!ended || !lines_.isEmpty())
        outcome_.stopped = true;
}

bool MgenWindow::SyncSQLFile(qint16 fileNumber)
{
    try {
        writer_.setAutoName(check1_->isChecked());
        writer_.writePendingLines(scriptKind_, fileNumber);
        return true;
    } catch (const std::exception& e) {
        // One report a run: a disk that stays full fails every later write the same way, and the
        // closing message counts them.
        if (outcome_.failedWrites == 0)
            ReportError(FormName, QStringLiteral("SyncSQLFile"), toAppError(e));
        return false;
    }
}

void MgenWindow::showGenerationMessage()
{
    const GenerationMessage message = generationClosingMessage(
        outcome_, scriptKind_, generator_.valuesWithCarriageReturn(), generator_.statementsNotRestorable());
    prompts().message(this, message.text, MessageTitle, message.isFailure ? MsgIcon::Critical : MsgIcon::Exclamation);
}

std::function<void(std::size_t rows)> MgenWindow::readingProgress()
{
    // A quick read shows nothing; a long one is seen going on.
    auto reading = std::make_shared<QElapsedTimer>();
    reading->start();
    return [this, reading](std::size_t rows) {
        if (reading->elapsed() >= BusyGuard::RepaintIntervalMs && busy_.progressDue())
            busy_.showProgress(readingStatusText(rows));
    };
}

void MgenWindow::endReading()
{
    if (!lblBar_->text().isEmpty())
        busy_.showStatus(QString());
}

// ---- record counter ----

void MgenWindow::CRefreshRec_Click()
{
    runGuarded(FormName, QStringLiteral("RefreshRecords"), [this] {
        totalRecord_->clear();
        if (leadingNumber(filesWished_->text()) == 0)
            filesWished_->setText(QStringLiteral("1"));
        QStringList queries;
        for (int i = 0; i < lv_->topLevelItemCount(); ++i)
            queries << lv_->topLevelItem(i)->text(0);
        const RecordCountTexts texts = countRecords(filesWished_->text(), queries, [this](const QString& sql) {
            const long count = db::countQueryRows(sql, connectionOf(SharedConnection()), readingProgress());
            endReading();
            return count;
        });
        totalRecord_->setText(texts.totalRecords);
        recordsPerFile_->setText(texts.recordsPerFile);
        filesWished_->setText(texts.per);
    });
}

// ---- duplicate PLU clean-up ----

void MgenWindow::Command1_Click()
{
    runGuarded(FormName, QStringLiteral("Command1_Click"), [this] {
        const long deleted = removeHighestDuplicatePlu(
            connectionOf(SharedConnection()), [this](const QString& itemCode) { busy_.showProgress(itemCode); });
        prompts().message(this, QString::number(deleted) + QStringLiteral(" FUCK DONE !!!"), ProgramTitle,
                          MsgIcon::None);
    });
}

} // namespace zobran
