#include "import_ui/OsqlOutputWindow.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace zobran {

namespace {

// Enough for any script's messages; older lines go first.
constexpr int MaxOutputLines = 20000;

} // namespace

OsqlOutputWindow::OsqlOutputWindow(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("OsqlOutput"));
    setWindowTitle(QStringLiteral("OSQL"));

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("OutputCaption"));
    caption_->setTextFormat(Qt::PlainText);
    output_ = new QPlainTextEdit(this);
    output_->setObjectName(QStringLiteral("Output"));
    output_->setReadOnly(true);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    output_->setMaximumBlockCount(MaxOutputLines);
    output_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    close_ = new QPushButton(QStringLiteral("&Close"), this);
    close_->setObjectName(QStringLiteral("CClose"));
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(output_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    resize(640, 360);
}

void OsqlOutputWindow::beginRun(const QString& caption)
{
    caption_->setText(caption);
    appendLine(QStringLiteral(">> ") + caption);
    show();
    raise();
    activateWindow();
}

void OsqlOutputWindow::appendOutput(const QString& text)
{
    if (text.isEmpty())
        return;
    output_->moveCursor(QTextCursor::End);
    output_->insertPlainText(text);
    atLineStart_ = text.endsWith(QLatin1Char('\n'));
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
}

void OsqlOutputWindow::endRun(const QString& outcome)
{
    appendLine(QStringLiteral("<< ") + outcome);
}

void OsqlOutputWindow::appendLine(const QString& line)
{
    appendOutput((atLineStart_ ? QString() : QStringLiteral("\n")) + line + QLatin1Char('\n'));
}

void OsqlOutputWindow::clear()
{
    caption_->clear();
    output_->clear();
    atLineStart_ = true;
}

QString OsqlOutputWindow::text() const
{
    return output_->toPlainText();
}

} // namespace zobran
