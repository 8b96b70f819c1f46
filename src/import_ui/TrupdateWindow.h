#pragma once

#include "basics/AppError.h"
#include "import_ui/ScriptFolderPicker.h"
#include "ui/ConnectionFields.h"
#include "ui/ModalWindow.h"

#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zobran {

namespace db {
class Connection;
}

class ImportFailureLog;
class ImportReach;
struct MultiDatabaseRunResult;
struct MultiDatabaseRunPlan;

// The multi-database update window (TRUPDATE): connect to a server, pick databases and script
// files, and run every file against every database in turn, with a log of each step.
class TrupdateWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit TrupdateWindow(QWidget* parent = nullptr);
    ~TrupdateWindow() override;

protected:
    void formLoad() override;

private:
    void buildControls();

    // Handlers and the window's own procedures.
    void CCONNECT_Click();
    void CRUN_Click();
    void RunScriptUpdate();

    void CResume_Click();
    void showRunEnd(const MultiDatabaseRunPlan& plan, const BackgroundRun::Outcome& outcome,
                    const ImportFailureLog& failures, const ImportReach& reach, const MultiDatabaseRunResult& result);
    void addLog(const QString& line);

    QGroupBox* frame1_ = nullptr;
    std::array<QLabel*, 3> label1_{};
    QLineEdit* cServer_ = nullptr;
    QLineEdit* cLogin_ = nullptr;
    QLineEdit* cPassword_ = nullptr;
    QPushButton* cConnect_ = nullptr;
    QListWidget* list1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QLabel* label2_ = nullptr;
    QPushButton* cRun_ = nullptr;
    QPushButton* command1_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QListWidget* listDataFile_ = nullptr;
    QListWidget* listLog_ = nullptr;
    QPushButton* cStop_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QGroupBox* frame4_ = nullptr;
    QLabel* label7_ = nullptr;
    QSpinBox* spinAtATime_ = nullptr;
    QLabel* label8_ = nullptr;
    QComboBox* comboOnFailure_ = nullptr;
    QPushButton* cResume_ = nullptr;
    QLabel* lblResume_ = nullptr;
    QString resumeReport_; // an earlier run's report: its complete files are skipped

    ConnectionFields connection_;
    ScriptFolderPicker scripts_; // Drive1, Dir1 and File1
};

} // namespace zobran
