#include "ui/ControlStates.h"
#include "support/ControlSnapshot.h"
#include "ui/Placement.h"

#include <QCheckBox>
#include <QDialog>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

using namespace zobran;
using namespace zobran::test;

namespace {

// A window with a control of every kind the states keep, some inside frames, one frame disabled,
// one control hidden, one label coloured, and a window of its own that is no control of it.
struct SampleWindow {
    QWidget window;
    QLabel* label = placeLabel(&window, "Label1", "Caption", QRect(0, 0, 80, 20));
    QLineEdit* box = placeTextBox(&window, "Box", QRect(0, 30, 80, 20), 50);
    QPlainTextEdit* area = placeControl<QPlainTextEdit>(&window, "Area", QRect(0, 60, 80, 40));
    QPushButton* button = placeButton(&window, "Button", "&Go", QRect(0, 110, 80, 20));
    QGroupBox* frame = placeControl<QGroupBox>(&window, "Frame", QRect(100, 0, 200, 200));
    QCheckBox* check = placeControl<QCheckBox>(frame, "Check", QRect(10, 10, 80, 20));
    QComboBox* combo = placeControl<QComboBox>(frame, "Combo", QRect(10, 40, 80, 20));
    QSpinBox* spin = placeControl<QSpinBox>(frame, "Spin", QRect(10, 70, 80, 20));
    QListWidget* list = placeControl<QListWidget>(frame, "List", QRect(10, 100, 80, 60));
    QGroupBox* offFrame = placeControl<QGroupBox>(&window, "OffFrame", QRect(100, 210, 200, 60));
    QTreeWidget* tree = placeControl<QTreeWidget>(offFrame, "Tree", QRect(10, 10, 180, 40));
    QStackedWidget* stack = placeControl<QStackedWidget>(&window, "Stack", QRect(310, 0, 100, 100));
    QGroupBox* page0 = new QGroupBox("Page 0");
    QGroupBox* page1 = new QGroupBox("Page 1");
    QLineEdit* pageBox = placeTextBox(page1, "PageBox", QRect(5, 5, 50, 20), 10);
    QTabBar* tabs = placeControl<QTabBar>(&window, "Tabs", QRect(310, 110, 100, 20));
    QLabel* hiddenLabel = placeLabel(&window, "Hidden", "Not shown", QRect(0, 140, 80, 20));
    QDialog* ownWindow = new QDialog(&window);

    SampleWindow()
    {
        setTextColor(label, Qt::blue);
        check->setChecked(true);
        combo->addItems({"a", "b", "c"});
        combo->setCurrentIndex(1);
        spin->setRange(1, 9);
        spin->setValue(3);
        list->addItems({"one", "two"});
        tree->addTopLevelItem(new QTreeWidgetItem(QStringList{"row"}));
        offFrame->setEnabled(false);
        stack->addWidget(page0);
        stack->addWidget(page1);
        page1->setObjectName("Page1");
        page0->setObjectName("Page0");
        tabs->addTab("first");
        tabs->addTab("second");
        hiddenLabel->hide();
        ownWindow->setObjectName("OwnWindow");
        ownWindow->setWindowTitle("own");
    }
};

} // namespace

TEST(ControlStates, EveryControlGetsBackWhatItHadWithoutTellingAnyone)
{
    SampleWindow sample;
    const QStringList built = controlSnapshot(sample.window);
    ControlStates states;
    states.record(sample.window);

    scribbleOnControls(sample.window);
    sample.label->raise(); // the bottom control on top
    sample.ownWindow->setWindowTitle("changed");
    const QStringList scribbled = controlSnapshot(sample.window);
    ASSERT_EQ(scribbled.size(), built.size());
    for (int i = 0; i < built.size(); ++i)
        EXPECT_NE(scribbled[i], built[i]) << "not changed: " << built[i].toStdString();

    QSignalSpy text(sample.box, &QLineEdit::textChanged);
    QSignalSpy ticked(sample.check, &QCheckBox::toggled);
    QSignalSpy chosen(sample.combo, &QComboBox::currentIndexChanged);
    QSignalSpy counted(sample.spin, &QSpinBox::valueChanged);
    QSignalSpy tab(sample.tabs, &QTabBar::currentChanged);
    states.restore();
    EXPECT_EQ(controlSnapshot(sample.window), built);
    EXPECT_EQ(text.count() + ticked.count() + chosen.count() + counted.count() + tab.count(), 0);
    EXPECT_EQ(sample.ownWindow->windowTitle(), "changed") << "a window of its own is no control";

    // Again after a control has gone.
    scribbleOnControls(sample.window);
    delete sample.list;
    states.restore();
    EXPECT_EQ(controlSnapshot(sample.window), built.filter(QRegularExpression("^(?!List )")));
}
