#include "ui/QtPrompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace zobran {

namespace {

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPrompts::message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

int QtPrompts::askYesNo(QWidget* parent, const QString& text, const QString& title, MsgIcon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No); // Escape and the close box answer No
    return box.exec() == QMessageBox::Yes ? answer::Yes : answer::No;
}

std::optional<QString> QtPrompts::inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                           const QString& defaultText)
{
    QInputDialog box(parent);
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

QString QtPrompts::openFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtPrompts::saveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

int QtPrompts::execModal(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace zobran
