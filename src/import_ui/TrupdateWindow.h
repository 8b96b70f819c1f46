#pragma once

#include "basics/AppError.h"
#include "import_ui/BatchRunner.h"
#include "ui/BusyGuard.h"
#include "ui/ConnectionFields.h"
#include "ui/ModalWindow.h"

#include <array>
#include <memory>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zobran {

namespace db {
class Connection;
}

class DriveList;
class FileList;
class FolderList;
class ImportFailureLog;

// The multi-database update window (TRUPDATE): connect to a server, pick databases and script
// files, and run every file against every database in turn, with a log of each step.
class TrupdateWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit TrupdateWindow(QWidget* parent = nullptr);
    ~TrupdateWindow() override;

protected:
    void formLoad() override;
    const BusyGuard* busyGuard() const override { return &busy_; }

private:
    void buildControls();

    // Handlers and the window's own procedures.
    void CCONNECT_Click();
    bool OpenDSN(const QString& serverName);
    void LoadDatabaseList();
    void CRUN_Click();
    void RunScriptUpdate();
    bool OpenData(const QString& database);
    void Drive1_Change();
    void Dir1_Change();

    // How one file went: the failure's log line (empty when it went well), and whether the
    // connection to the database was lost on the way.
    struct FileOutcome {
        QString failure;
        bool connectionLost = false;
    };
    // Runs one file against the open database.
    FileOutcome runFile(const QString& database, const QString& fileName, ImportFailureLog& failures);
    FileOutcome ImportKXFile(const QString& path, ImportFailureLog& failures);
    void addLog(const QString& line);
    void showFolder(const QString& folder);

    QGroupBox* frame1_ = nullptr;
    std::array<QLabel*, 3> label1_{};
    QLineEdit* cServer_ = nullptr;
    QLineEdit* cLogin_ = nullptr;
    QLineEdit* cPassword_ = nullptr;
    QPushButton* cConnect_ = nullptr;
    QListWidget* list1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QLabel* label2_ = nullptr;
    DriveList* drive1_ = nullptr;
    FolderList* dir1_ = nullptr;
    FileList* file1_ = nullptr;
    QPushButton* cRun_ = nullptr;
    QPushButton* command1_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QListWidget* listDataFile_ = nullptr;
    QListWidget* listLog_ = nullptr;

    ConnectionFields connection_;
    std::unique_ptr<db::Connection> dataConnection_; // the database being processed
    std::optional<AppError> openDataError_;          // why the last OpenData failed
    BusyGuard busy_;
    BatchRunner runner_;
};

} // namespace zobran
