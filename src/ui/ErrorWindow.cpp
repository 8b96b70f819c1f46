#include "ui/ErrorWindow.h"

#include "basics/AppError.h"
#include "errors/ErrLogWriter.h"
#include "errors/ErrorReport.h"
#include "ui/ProgramWindow.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QtDebug>

namespace zobran {

namespace {

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A read-only value shown as a sunken white field; its text can be selected and copied.
QLabel* valueLabel(const char* name, QWidget* parent)
{
    QLabel* label = namedLabel(name, QString(), parent);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumHeight(22);
    label->setIndent(4);
    return label;
}

} // namespace

ErrorWindow::ErrorWindow(QWidget* parent) : ModalWindow(parent)
{
    setObjectName(QStringLiteral("TRERR"));
    setWindowTitle(QStringLiteral("Error Message"));

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(40, 40));
    icon->setAlignment(Qt::AlignTop);

    QLabel* label3
        = namedLabel("Label3",
                     QStringLiteral("Sorry for the inconvenience,The program has encountered an error while executing "
                                    "certain task,"),
                     this);
    QLabel* label4 = namedLabel(
        "Label4", QStringLiteral("Note down the below error code and message and contact your system support."), this);
    label3->setWordWrap(true);
    label4->setWordWrap(true);

    errCode_ = valueLabel("ErrCode", this);
    errTxt_ = new QPlainTextEdit(this);
    errTxt_->setObjectName(QStringLiteral("ErrTxt"));
    errTxt_->setReadOnly(true);
    errTxt_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    errTxt_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    errTxt_->setTabChangesFocus(true);
    errForm_ = valueLabel("ErrForm", this);
    errSub_ = valueLabel("ErrSub", this);
    logTrouble_ = namedLabel("LogTrouble", QString(), this);
    logTrouble_->setWordWrap(true);
    logTrouble_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    logTrouble_->hide();

    cClose_ = new QPushButton(QStringLiteral("&Close"), this);
    cClose_->setObjectName(QStringLiteral("CClose"));
    cClose_->setDefault(true);
    cClose_->setMinimumWidth(90);
    connect(cClose_, &QPushButton::clicked, this, &QDialog::reject);

    auto* intro = new QVBoxLayout;
    intro->setSpacing(4);
    intro->addWidget(label3);
    intro->addWidget(label4);
    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(icon, 0, Qt::AlignTop);
    header->addLayout(intro, 1);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(6);
    fields->setColumnMinimumWidth(0, 70);
    fields->setColumnStretch(1, 1);
    const Qt::Alignment captionAlign = Qt::AlignLeft | Qt::AlignVCenter;
    fields->addWidget(namedLabel("Label1", QStringLiteral("Error Code"), this), 0, 0, captionAlign);
    fields->addWidget(errCode_, 0, 1);
    fields->addWidget(namedLabel("Label2", QStringLiteral("Message"), this), 1, 0, Qt::AlignLeft | Qt::AlignTop);
    fields->addWidget(errTxt_, 1, 1);
    fields->addWidget(namedLabel("Label6", QStringLiteral("Form"), this), 2, 0, captionAlign);
    fields->addWidget(errForm_, 2, 1);
    fields->addWidget(namedLabel("Label5", QStringLiteral("Sub"), this), 3, 0, captionAlign);
    fields->addWidget(errSub_, 3, 1);
    fields->setRowStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cClose_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(10);
    layout->addLayout(header);
    layout->addLayout(fields, 1);
    layout->addWidget(logTrouble_);
    layout->addLayout(buttons);

    setFixedSize(480, 340);
}

ErrLogEntry ErrorWindow::shownReport() const
{
    return ErrLogEntry{errForm_->text(), errSub_->text(), errCode_->text(), errTxt_->toPlainText()};
}

void ErrorWindow::WriteErrLog() const
{
    appendErrLog(shownReport(), QDateTime::currentDateTime());
}

void ErrorWindow::formLoad()
{
    const ErrorReport& report = ErrReport();
    errCode_->setText(report.ErrNum);
    errTxt_->setPlainText(report.ErrDesc);
    errForm_->setText(report.ErrFormName);
    errSub_->setText(report.ErrSubName);
    cClose_->setFocus();
    logShownReport();
}

void ErrorWindow::formUnload()
{
    ErrorReport& report = ErrReport();
    report.ErrSubName.clear();
    report.ErrFormName.clear();
    report.ErrNum.clear();
    report.ErrDesc.clear();
}

// Every report the window shows is logged. A log that cannot be written must not hide the report
// itself: the window says so under it, once, and the standard error stream hears of it too.
void ErrorWindow::logShownReport()
{
    logTrouble_->clear();
    logTrouble_->hide();
    try {
        WriteErrLog();
    } catch (const std::exception& e) {
        const AppError failure = toAppError(e);
        logTrouble_->setText(QStringLiteral("This report could not be written to the daily error log: ")
                             + failure.description());
        logTrouble_->show();
        qWarning().noquote() << "The error log could not be written:" << failure.number() << failure.description();
    }
}

ErrorWindow& errorWindow()
{
    return programWindow<ErrorWindow>();
}

} // namespace zobran
