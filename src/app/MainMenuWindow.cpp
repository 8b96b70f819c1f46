#include "app/MainMenuWindow.h"

#include "app/ButtonPictures.h"
#include "app/ExtraSettingsPrompt.h"
#include "app/PictureButton.h"
#include "app/PicturePanel.h"
#include "app/WorkingWindows.h"
#include "basics/AppPath.h"
#include "ui/Prompts.h"
#include "ui/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <functional>

namespace zobran {

namespace {

constexpr int ButtonWidthTwips = 1455;
constexpr int ButtonHeightTwips = 1575;

struct ButtonPlace {
    const char* name;
    const char* caption;
    ButtonPicture picture;
    int leftTwips;
};

constexpr ButtonPlace Buttons[] = {
    {"cmdGenerateScript", "Generate Script", ButtonPicture::GenerateScript, 0},
    {"cmdImportUpdate", "Import/Update Script (Single Database)", ButtonPicture::ImportSingle, 1440},
    {"Command1", "Import/Update Script (Multi Database)", ButtonPicture::ImportMulti, 2880},
    {"cmdDeleteScript", "Delete Script", ButtonPicture::DeleteScript, 4320},
    {"cmdExit", "Exit", ButtonPicture::Exit, 5760},
};

QAction* namedAction(const char* name, const QString& caption, QObject* owner)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

MainMenuWindow::MainMenuWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MAINMENU"));
    setWindowTitle(QStringLiteral("Utility - Generate Script From Mdf File & Import Script to Mdf File"));
    buildMenu();
    buildPicturePanel();
    buildStatusBar();
    resize(640, 480);
    fitPicturePanel();
}

void MainMenuWindow::buildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FM_File"));

    QAction* generate = namedAction("FM_GenerateScript", QStringLiteral("Generate Script"), this);
    connect(generate, &QAction::triggered, this, [] { openGenerateScript(); });
    file->addAction(generate);

    QMenu* import = file->addMenu(QStringLiteral("Import/Update Script"));
    import->setObjectName(QStringLiteral("FM_ImportScript"));
    import->menuAction()->setObjectName(QStringLiteral("FM_ImportScript"));
    QAction* single = namedAction("FM_UpdateSingleDatabase", QStringLiteral("Single Database"), this);
    connect(single, &QAction::triggered, this, [] { openSingleDatabaseImport(); });
    import->addAction(single);
    QAction* multi = namedAction("FM_UpdateMultiDatabase", QStringLiteral("Multi Database"), this);
    connect(multi, &QAction::triggered, this, [] { openMultiDatabaseUpdate(); });
    import->addAction(multi);

    QAction* remove = namedAction("FM_DeleteScript", QStringLiteral("Delete Script"), this);
    connect(remove, &QAction::triggered, this, [] { openDeleteScript(); });
    file->addAction(remove);

    QAction* extra = namedAction("FM_ExtraSettings", QStringLiteral("Extra Connection Settings..."), this);
    connect(extra, &QAction::triggered, this, [this] { editExtraConnectionSettings(this); });
    file->addAction(extra);

    QAction* exit = namedAction("FM_Exit", QStringLiteral("&Exit"), this);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    file->addAction(exit);
}

void MainMenuWindow::buildPicturePanel()
{
    // The panel is not laid out: it is placed by hand so that it can be as tall as the window.
    auto* client = new QWidget(this);
    setCentralWidget(client);
    picture1_ = new PicturePanel(client);
    picture1_->setObjectName(QStringLiteral("Picture1"));

    const std::function<void()> actions[] = {openGenerateScript, openSingleDatabaseImport, openMultiDatabaseUpdate,
                                             openDeleteScript, [this] { close(); }};
    int index = 0;
    for (const ButtonPlace& place : Buttons) {
        auto* button = new PictureButton(QLatin1String(place.name), QLatin1String(place.caption),
                                         buttonPicture(place.picture), picture1_);
        button->setGeometry(twipsRect(place.leftTwips, 0, ButtonWidthTwips, ButtonHeightTwips));
        connect(button, &QAbstractButton::clicked, this, [action = actions[index]] { action(); });
        ++index;
    }
}

void MainMenuWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    auto* panel = new QLabel(QStringLiteral("Ver. 7.0 (20091207)"), bar);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(panel, 1);
}

// The picture panel keeps the window's width and takes the window's height.
void MainMenuWindow::fitPicturePanel()
{
    picture1_->setGeometry(0, 0, width(), height());
}

void MainMenuWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitPicturePanel();
}

void MainMenuWindow::closeEvent(QCloseEvent* event)
{
    MsgAnswer()
        = prompts().askYesNo(this, QStringLiteral("Confirm To Exit ?"), QStringLiteral("Exit"), MsgIcon::Question);
    if (MsgAnswer() == answer::Yes)
        event->accept();
    else
        event->ignore();
}

} // namespace zobran
