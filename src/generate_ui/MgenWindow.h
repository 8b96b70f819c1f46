#pragma once

#include "generate_ui/MgenChecks.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "generate/ScriptGenerator.h"
#include "generate/ScriptKind.h"
#include "ui/BusyGuard.h"
#include "ui/ConnectionFields.h"
#include "ui/ModalWindow.h"

#include <array>
#include <functional>
#include <memory>

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
class ResultSetModel;
}

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
    const BusyGuard* busyGuard() const override { return &busy_; }

private:
    void buildControls();
    void setTabOrder();

    // Handlers and the window's own procedures.
    void DesignLayout();
    void LoadLTable();
    void LTable_Click();
    void LTable_DblClick();
    void RunConnection();
    void ConnectDataSource();
    void DGrid_HeadClick(int column);
    void CBut_Click(int index);
    void CView_Click();
    void CClear_Click();
    void CNew_Click();
    void CRefreshRec_Click();
    void LV_KeyDown(int key);
    void Command1_Click();
    void GenerateScript();
    bool SyncSQLFile(qint16 fileNumber); // false when the write failed (and was reported)
    void showGenerationMessage();

    bool buttonFieldsValid(int buttonIndex);
    // Shows "Reading ... n rows" while the rows of a query are read.
    std::function<void(std::size_t rows)> readingProgress();
    void endReading(); // empties the status label a long read has filled
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

    db::ResultSetModel* gridModel_ = nullptr;
    PendingLineBuffer lines_;
    ScriptFileWriter writer_;
    ScriptGenerator generator_;
    ScriptKind scriptKind_ = ScriptKind::Sql;
    GenerationOutcome outcome_; // of the last generation
    QString sortSuffix_;
    ConnectionFields connection_;
    BusyGuard busy_;
};

} // namespace zobran
