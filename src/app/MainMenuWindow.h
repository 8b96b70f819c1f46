#pragma once

#include <QMainWindow>

namespace zobran {

class PicturePanel;

// The main window (MAINMENU): a File menu and five picture buttons that open the working windows
// modally, and a status bar with the version. Closing it asks "Confirm To Exit ?" first.
class MainMenuWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainMenuWindow(QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void buildPicturePanel();
    void buildStatusBar();
    void fitPicturePanel();

    PicturePanel* picture1_ = nullptr;
};

} // namespace zobran
