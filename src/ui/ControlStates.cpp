#include "ui/ControlStates.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>

#include <QPointer>

#include <functional>
#include <memory>

namespace zobran {

namespace {

// One thing a kind of control holds that the user or the window may change: read gives an invalid
// value for a control it does not apply to.
struct Setting {
    std::function<QVariant(const QWidget&)> read;
    std::function<void(QWidget&, const QVariant&)> write;
};

template <class Control, class Read, class Write>
Setting settingOf(Read read, Write write)
{
    return {[read](const QWidget& w) {
                const auto* control = qobject_cast<const Control*>(&w);
                return control ? QVariant(read(*control)) : QVariant();
            },
            [write](QWidget& w, const QVariant& value) { write(static_cast<Control&>(w), value); }};
}

// What a checkable control holds: its tick; nothing for one that is not checkable.
template <class Control>
Setting tickOf()
{
    return settingOf<Control>([](const Control& c) { return c.isCheckable() ? QVariant(c.isChecked()) : QVariant(); },
                              [](Control& c, const QVariant& v) { c.setChecked(v.toBool()); });
}

template <class Control>
Setting currentIndexOf()
{
    return settingOf<Control>([](const Control& c) { return c.currentIndex(); },
                              [](Control& c, const QVariant& v) { c.setCurrentIndex(v.toInt()); });
}

const std::vector<Setting>& settings()
{
    static const std::vector<Setting> all{
        settingOf<QWidget>([](const QWidget& w) { return w.isHidden(); },
                           [](QWidget& w, const QVariant& v) { w.setHidden(v.toBool()); }),
        // Disabled itself, not through a frame around it.
        settingOf<QWidget>([](const QWidget& w) { return w.testAttribute(Qt::WA_ForceDisabled); },
                           [](QWidget& w, const QVariant& v) { w.setEnabled(!v.toBool()); }),
        settingOf<QWidget>([](const QWidget& w) { return w.geometry(); },
                           [](QWidget& w, const QVariant& v) { w.setGeometry(v.toRect()); }),
        settingOf<QWidget>([](const QWidget& w) { return w.palette(); },
                           [](QWidget& w, const QVariant& v) { w.setPalette(v.value<QPalette>()); }),
        settingOf<QLabel>([](const QLabel& c) { return c.text(); },
                          [](QLabel& c, const QVariant& v) { c.setText(v.toString()); }),
        settingOf<QLineEdit>([](const QLineEdit& c) { return c.text(); },
                             [](QLineEdit& c, const QVariant& v) { c.setText(v.toString()); }),
        settingOf<QPlainTextEdit>([](const QPlainTextEdit& c) { return c.toPlainText(); },
                                  [](QPlainTextEdit& c, const QVariant& v) { c.setPlainText(v.toString()); }),
        settingOf<QAbstractButton>([](const QAbstractButton& c) { return c.text(); },
                                   [](QAbstractButton& c, const QVariant& v) { c.setText(v.toString()); }),
        tickOf<QAbstractButton>(),
        settingOf<QGroupBox>([](const QGroupBox& c) { return c.title(); },
                             [](QGroupBox& c, const QVariant& v) { c.setTitle(v.toString()); }),
        tickOf<QGroupBox>(),
        currentIndexOf<QComboBox>(),
        currentIndexOf<QTabBar>(),
        currentIndexOf<QStackedWidget>(),
        settingOf<QSpinBox>([](const QSpinBox& c) { return c.value(); },
                            [](QSpinBox& c, const QVariant& v) { c.setValue(v.toInt()); }),
    };
    return all;
}

// Frames whose children are controls of the window; every other control's children are its parts.
bool holdsControls(const QWidget& widget)
{
    const QMetaObject* type = widget.metaObject();
    return qobject_cast<const QGroupBox*>(&widget) || qobject_cast<const QStackedWidget*>(&widget)
        || type == &QWidget::staticMetaObject || type == &QFrame::staticMetaObject;
}

} // namespace

struct ControlStates::Control {
    QPointer<QWidget> widget;
    std::vector<QVariant> values; // one a setting, invalid where it does not apply
    // Copies of the items of a list or tree widget.
    std::vector<std::unique_ptr<QListWidgetItem>> listItems;
    std::vector<std::unique_ptr<QTreeWidgetItem>> treeItems;

    void restore() const;
};

void ControlStates::Control::restore() const
{
    QWidget& w = *widget;
    const QSignalBlocker quiet(&w);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Setting& setting = settings()[i];
        if (values[i].isValid() && setting.read(w) != values[i])
            setting.write(w, values[i]);
    }
    if (auto* list = qobject_cast<QListWidget*>(&w)) {
        list->clear();
        for (const auto& item : listItems)
            list->addItem(item->clone());
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(&w)) {
        tree->clear();
        for (const auto& item : treeItems)
            tree->addTopLevelItem(item->clone());
    }
}

ControlStates::ControlStates() = default;
ControlStates::~ControlStates() = default;

void ControlStates::record(QWidget& window)
{
    controls_.clear();
    recordChildrenOf(window);
}

void ControlStates::recordChildrenOf(QWidget& parent)
{
    // Children come bottom first, as they are stacked.
    for (QWidget* w : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow())
            continue;
        Control control;
        control.widget = w;
        for (const Setting& setting : settings())
            control.values.push_back(setting.read(*w));
        if (const auto* list = qobject_cast<const QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                control.listItems.emplace_back(list->item(i)->clone());
        if (const auto* tree = qobject_cast<const QTreeWidget*>(w))
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                control.treeItems.emplace_back(tree->topLevelItem(i)->clone());
        controls_.push_back(std::move(control));
        if (holdsControls(*w))
            recordChildrenOf(*w);
    }
}

void ControlStates::restore() const
{
    for (const Control& control : controls_) {
        if (!control.widget)
            continue;
        control.restore();
        // Raised in the order recorded, bottom first, the controls stack as they did.
        control.widget->raise();
    }
}

} // namespace zobran
