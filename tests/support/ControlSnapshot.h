#pragma once

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
#include <QStringList>
#include <QTabBar>
#include <QTreeWidget>

#include <functional>

namespace zobran::test {

// The controls of a window as its user sees them: the named widgets on the window and on its
// frames (group boxes and stacked pages), not the parts a control is built of, nor other windows.
inline void forEachControl(QWidget& parent, const std::function<void(QWidget&)>& visit)
{
    for (QWidget* w : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        visit(*w);
        if (qobject_cast<QGroupBox*>(w) || qobject_cast<QStackedWidget*>(w))
            forEachControl(*w, visit);
    }
}

// What a control shows, in one line: shown, enabled, where it stands, its text colour and what it
// holds (text, tick, choice, items).
inline QString controlLine(const QWidget& w)
{
    QStringList held;
    if (const auto* c = qobject_cast<const QLabel*>(&w))
        held << c->text();
    if (const auto* c = qobject_cast<const QLineEdit*>(&w))
        held << c->text();
    if (const auto* c = qobject_cast<const QPlainTextEdit*>(&w))
        held << c->toPlainText();
    if (const auto* c = qobject_cast<const QAbstractButton*>(&w))
        held << c->text() << (c->isChecked() ? "ticked" : "");
    if (const auto* c = qobject_cast<const QGroupBox*>(&w))
        held << c->title() << (c->isChecked() ? "ticked" : "");
    if (const auto* c = qobject_cast<const QComboBox*>(&w))
        held << QString::number(c->currentIndex());
    if (const auto* c = qobject_cast<const QTabBar*>(&w))
        held << QString::number(c->currentIndex());
    if (const auto* c = qobject_cast<const QStackedWidget*>(&w))
        held << QString::number(c->currentIndex());
    if (const auto* c = qobject_cast<const QSpinBox*>(&w))
        held << QString::number(c->value());
    if (const auto* c = qobject_cast<const QListWidget*>(&w))
        for (int i = 0; i < c->count(); ++i)
            held << c->item(i)->text();
    if (const auto* c = qobject_cast<const QTreeWidget*>(&w))
        for (int i = 0; i < c->topLevelItemCount(); ++i)
            held << c->topLevelItem(i)->text(0);
    const QRect g = w.geometry();
    return QStringLiteral("%1 %2 %3 %4,%5 %6x%7 %8 [%9]")
        .arg(w.objectName(), w.isHidden() ? "hidden" : "shown", w.isEnabled() ? "enabled" : "disabled")
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(w.palette().color(QPalette::WindowText).name(), held.join('|'));
}

// Every control of the window, one line each, each frame's controls bottom first as they are stacked.
inline QStringList controlSnapshot(QWidget& window)
{
    QStringList lines;
    forEachControl(window, [&](QWidget& w) { lines << controlLine(w); });
    return lines;
}

// Changes everything a snapshot shows of every control, as a user and the window's handlers might,
// without telling the window (no signal is sent).
inline void scribbleOnControls(QWidget& window)
{
    forEachControl(window, [](QWidget& w) {
        const QSignalBlocker quiet(&w);
        w.setEnabled(!w.isEnabled());
        w.setHidden(!w.isHidden());
        w.move(w.pos() + QPoint(1, 1));
        QPalette palette = w.palette();
        palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
        w.setPalette(palette);
        if (auto* c = qobject_cast<QLabel*>(&w))
            c->setText(c->text() + "~");
        if (auto* c = qobject_cast<QLineEdit*>(&w))
            c->setText(c->text() + "~");
        if (auto* c = qobject_cast<QPlainTextEdit*>(&w))
            c->setPlainText(c->toPlainText() + "~");
        if (auto* c = qobject_cast<QAbstractButton*>(&w)) {
            c->setText(c->text() + "~");
            c->setChecked(!c->isChecked()); // when it can be ticked
        }
        if (auto* c = qobject_cast<QGroupBox*>(&w)) {
            c->setTitle(c->title() + "~");
            c->setChecked(!c->isChecked());
        }
        if (auto* c = qobject_cast<QComboBox*>(&w))
            c->setCurrentIndex(c->currentIndex() > 0 ? 0 : c->count() - 1);
        if (auto* c = qobject_cast<QTabBar*>(&w))
            c->setCurrentIndex(c->currentIndex() > 0 ? 0 : c->count() - 1);
        if (auto* c = qobject_cast<QStackedWidget*>(&w))
            c->setCurrentIndex(c->currentIndex() > 0 ? 0 : c->count() - 1);
        if (auto* c = qobject_cast<QSpinBox*>(&w))
            c->setValue(c->value() == c->maximum() ? c->minimum() : c->maximum());
        if (auto* c = qobject_cast<QListWidget*>(&w))
            c->addItem("~");
        if (auto* c = qobject_cast<QTreeWidget*>(&w))
            c->addTopLevelItem(new QTreeWidgetItem(QStringList{"~"}));
    });
}

} // namespace zobran::test
