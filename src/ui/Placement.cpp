#include "ui/Placement.h"

namespace zobran {

QPushButton* placeButton(QWidget* parent, const QString& name, const QString& caption, QRect rect)
{
    auto* button = placeControl<QPushButton>(parent, name, rect);
    button->setText(caption);
    button->setAutoDefault(false);
    return button;
}

QLabel* placeLabel(QWidget* parent, const QString& name, const QString& caption, QRect rect)
{
    auto* label = placeControl<QLabel>(parent, name, rect);
    label->setText(caption);
    return label;
}

QLineEdit* placeTextBox(QWidget* parent, const QString& name, QRect rect, int maxLength, TextAlign align)
{
    auto* box = placeControl<QLineEdit>(parent, name, rect);
    box->setMaxLength(maxLength);
    if (align == TextAlign::Right)
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

void setTextColor(QLabel* label, const QColor& color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace zobran
