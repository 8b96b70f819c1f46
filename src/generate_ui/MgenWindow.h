#pragma once

#include "db/Connection.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "generate/ScriptGenerator.h"
#include "generate/ScriptKind.h"
#include "generate_ui/MgenChecks.h"
#include "ui/ConnectionFields.h"
#include "ui/ModalWindow.h"
#include "ui/ReportError.h"

#include <QStringList>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTableView;
class QTreeWidget;

namespace zobran {

namespace db {
class ResultSet;
class ResultSetModel;
} // namespace db

// The Generate Script window (MGEN): connect to one database, browse its tables and fields, look
// at rows in the grid, collect queries and write their rows out as INSERT scripts.
class MgenWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit MgenWindow(QWidget* parent = nullptr);
    ~MgenWindow() override;

    static constexpr int ConnectButton = 0;
    static constexpr int AddQueryButton = 1;
    static constexpr int RefreshGridButton = 2;
    static constexpr int ExecuteSqlButton = 3;
    static constexpr int GenerateScriptButton = 4;

    // What the last generation chose and wrote.
    ScriptKind scriptKind() const { return scriptKind_; }
    const QString& lastScriptFile() const { return writer_.lastScriptFile(); }
    const QString& sortSuffix() const { return sortSuffix_; }

protected:
    void formLoad() override;
    void formUnload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the database steps of one click do on the run's thread and hand to the window's.
    struct WindowStep {
        std::shared_ptr<db::Connection> connection; // the shared one, or one the run opened
        bool reconnected = false;
        DeferredReports reports;
        RunProgress* progress = nullptr;
        const StopSource* stop = nullptr;
        bool tablesRead = false;
        std::optional<QStringList> tables;
        std::optional<QStringList> fields;
        std::optional<QString> gridSql;
        std::unique_ptr<db::ResultSet> grid;
        bool executed = false;
        bool keepsStatus = false; // the last status stays in the label after the run

        // The connection, used by this run from now on (91 when there is none).
        db::Connection& use();
        void release() { runUse.reset(); }

    private:
        std::optional<db::Connection::RunUse> runUse;
        const db::Connection* used = nullptr;
    };

    void buildControls();
    void setTabOrder();

    // Handlers and the window's own procedures; the database steps run on the window's run.
    void DesignLayout();
    static void LoadLTable(WindowStep& step);
    void showTables(const WindowStep& step);
    void LTable_Click();
    static void readFields(WindowStep& step, const QString& table);
    void LTable_DblClick();
    QString prepareConnection();
    static void RunConnection(WindowStep& step, const QString& connectionString);
    static void ConnectDataSource(WindowStep& step, const QString& sql);
    void showGridRows(WindowStep& step);
    void DGrid_HeadClick(int column);
    void CBut_Click(int index);
    void CView_Click();
    void CClear_Click();
    void CNew_Click();
    void CRefreshRec_Click();
    void LV_KeyDown(int key);
    void Command1_Click();
    void GenerateScript();
    void showGenerationMessage(bool countsKnown);
    std::optional<QString> askFileName(const QString& defaultName);
    // Runs an action on the window's thread and waits for it (a question or report from a run).
    void onWindowThread(const std::function<void()>& action);

    // Runs work on the window's run, then shows what it brought (not when it was stopped). The
    // controls in `live` take input during the run.
    void startStep(std::function<void(WindowStep&)> work, std::function<void(WindowStep&)> shown,
                   std::vector<QWidget*> live = {});
    bool buttonFieldsValid(int buttonIndex);
    // "Reading ... n rows" while the rows of a query are read.
    static std::function<void(std::size_t rows)> readingProgress(WindowStep& step);
    void releaseGrid();
    void showGrid(bool shown);
    void clearTablesAndQuery();
    QString selectedTable() const;

    // TxtField 0 to 4: driver, server, database, login, password.
    std::array<QLineEdit*, 5> txtField_{};
    QLineEdit* totalRecord_ = nullptr;    // TxtField 5
    QLineEdit* recordsPerFile_ = nullptr; // TxtField 6
    QLineEdit* filesWished_ = nullptr;    // TxtField 7, "per"
    QLineEdit* limitRecords_ = nullptr;   // TxtField 8
    std::array<QLabel*, 9> label1_{};
    std::array<QPushButton*, 5> cBut_{};
    std::array<QLabel*, 2> label2_{};
    QGroupBox* frame1_ = nullptr;
    QListWidget* lTable_ = nullptr;
    QListWidget* lField_ = nullptr;
    QPlainTextEdit* sqlField_ = nullptr;
    QLineEdit* tblName_ = nullptr;
    QPushButton* cClear_ = nullptr;
    QPushButton* cView_ = nullptr;
    QTreeWidget* lv_ = nullptr;
    QTableView* dGrid_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QListView* sqlListBox_ = nullptr;
    QStackedWidget* advance_ = nullptr;
    QTabBar* advanceTabs_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QGroupBox* frame4_ = nullptr;
    QPushButton* cRefreshRec_ = nullptr;
    QLabel* label3_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QLabel* lblBar_ = nullptr;
    QPushButton* cNew_ = nullptr;
    QPushButton* cClose_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* cStop_ = nullptr;

    db::ResultSetModel* gridModel_ = nullptr;
    PendingLineBuffer lines_;
    ScriptFileWriter writer_;
    ScriptGenerator generator_;
    ScriptKind scriptKind_ = ScriptKind::Sql;
    GenerationOutcome outcome_; // of the last generation
    QString sortSuffix_;
    ConnectionFields connection_;
    std::atomic<RunProgress*> writerProgress_{nullptr}; // the generation's, while one goes
    bool pendingDoubleClick_ = false;
    // Set while a generation's work goes on, also one given up after a stop.
    std::shared_ptr<std::atomic<bool>> generationWorking_;
};

} // namespace zobran
