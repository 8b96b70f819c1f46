#pragma once

#include "delete/DeleteScript.h"
#include "ui/ConnectionFields.h"
#include "ui/ModalWindow.h"

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace zobran {

// The Delete Script window (MDELETE): connect to one database, tick tables in the list of its
// deletable tables, turn the ticks into "Delete from" statements, save them as a script, load a
// script back, or run the statements after the user has typed CONFIRM.
class MdeleteWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit MdeleteWindow(QWidget* parent = nullptr);

    static constexpr int ConnectButton = 0;
    static constexpr int GenerateButton = 1;

    // The names settled on by the last save.
    const DeleteScriptSaveName& lastSave() const { return save_; }

protected:
    void formLoad() override;
    void formUnload() override;

private:
    void buildControls();
    void setTabOrder();
    void enableCommands(bool enabled);
    QStringList statementLines() const;

    // Handlers and the window's own procedures.
    void NewData();
    void CConnect_Click(int index);
    // Reads the table list on the window's run (after opening the shared connection anew, when a
    // connection string is given), then shows it and goes on with `then`.
    void LoadLTable(const QString& connectionString, std::function<void()> then = {});
    void showTables(const QStringList& tables);
    void GenerateScript();
    void CSave_Click();
    void CStart_Click();
    void CNew_Click();
    void CSearch_Click();
    void tickTablesOfStatements();

    QGroupBox* frame1_ = nullptr;
    std::array<QLabel*, 5> label1_{};
    // TxtField 0 to 4: driver, server, database, login, password.
    std::array<QLineEdit*, 5> txtField_{};
    std::array<QPushButton*, 2> cConnect_{};
    QGroupBox* fra2_ = nullptr;
    QTreeWidget* lv1_ = nullptr;
    QGroupBox* fra3_ = nullptr;
    QListWidget* lDelete_ = nullptr;
    QPushButton* cSave_ = nullptr;
    QPushButton* cStart_ = nullptr;
    QPushButton* cNew_ = nullptr;
    QPushButton* cSearch_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QPushButton* cClose_ = nullptr;
    QPushButton* cStop_ = nullptr;
    QLabel* lblStatus_ = nullptr;

    ConnectionFields connection_;
    DeleteScriptSaveName save_;
};

} // namespace zobran
