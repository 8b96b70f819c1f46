#pragma once

#include "import/OsqlCommandLine.h"
#include "import_ui/ScriptFolderPicker.h"
#include "import_ui/ToolOutputView.h"
#include "ui/ConnectionFields.h"
#include "ui/ModalWindow.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zobran {

class ImportFailureLog;

// The single-database import window (TRSQL): connect to one database, pick script files of a
// folder and run them against it; .sql files through the script tool, KX files statement by
// statement over the window's connection.
class TrsqlWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit TrsqlWindow(QWidget* parent = nullptr);
    ~TrsqlWindow() override;

    const ToolOutputView& toolOutput() const { return output_; }

protected:
    void formLoad() override;
    void formUnload() override;

private:
    void buildControls();

    // Handlers and the window's own procedures.
    void CCONNECT_Click();
    void OpenDSN();
    void CExecute_Click();

    OsqlArguments osqlArguments(const QString& scriptPath) const;

    QLabel* label1_ = nullptr;
    QLineEdit* cServer_ = nullptr;
    QLabel* label5_ = nullptr;
    QLineEdit* connTable_ = nullptr;
    QLabel* label2_ = nullptr;
    QLineEdit* cLogin_ = nullptr;
    QLabel* label3_ = nullptr;
    QLineEdit* cPassword_ = nullptr;
    QPushButton* cConnect_ = nullptr;
    QLabel* label4_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QPushButton* cExecute_ = nullptr;
    QLabel* lblBar_ = nullptr;
    QLabel* label6_ = nullptr;
    QPushButton* cExit_ = nullptr;
    QPushButton* cStop_ = nullptr;

    ConnectionFields connection_;
    ScriptFolderPicker scripts_; // Drive1, Dir1 and File1
    ToolOutputView output_;
};

} // namespace zobran
