#pragma once

#include "ui/Twips.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace zobran {

// Controls are placed where the window's design puts them, in twips, and carry their design name as
// objectName (arrays with the index appended: "CBut_4").

template <class W>
W* placeControl(QWidget* parent, const QString& name, QRect rect)
{
    auto* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

// A command button; Enter in the window moves the focus, so no button is pressed by default.
QPushButton* placeButton(QWidget* parent, const QString& name, const QString& caption, QRect rect);

QLabel* placeLabel(QWidget* parent, const QString& name, const QString& caption, QRect rect);

enum class TextAlign { Left, Right };

// A text box holding at most maxLength characters.
QLineEdit* placeTextBox(QWidget* parent, const QString& name, QRect rect, int maxLength,
                        TextAlign align = TextAlign::Left);

// The label's text in this colour.
void setTextColor(QLabel* label, const QColor& color);

} // namespace zobran
