#include "ui/ModalWindow.h"

#include "ui/Prompts.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace zobran {

ModalWindow::ModalWindow(QWidget* parent) : QDialog(parent)
{
    setModal(true);
    connect(&run_, &BackgroundRun::status, this, &ModalWindow::showRunStatus);
    connect(&run_, &BackgroundRun::finished, this, [this](const BackgroundRun::Outcome& outcome) {
        unlockControls();
        // The handler may start the next run of the window.
        auto done = std::move(done_);
        done_ = nullptr;
        if (done)
            done(outcome);
        if (!isBusy())
            emit runEnded();
    });
}

ModalWindow::~ModalWindow() = default;

int ModalWindow::showModal()
{
    loaded_ = true;
    builtState_.restore();
    formLoad();
    return prompts().execModal(*this);
}

void ModalWindow::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        formUnload();
    }
    QDialog::done(result);
}

void ModalWindow::reject()
{
    // Escape during a run stops it; the window stays.
    if (isBusy()) {
        stopRun();
        return;
    }
    QDialog::reject();
}

void ModalWindow::closeEvent(QCloseEvent* event)
{
    if (isBusy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ModalWindow::setRunControls(QPushButton* stop, QLabel* status)
{
    stop_ = stop;
    status_ = status;
    if (stop_) {
        stop_->hide();
        connect(stop_, &QPushButton::clicked, this, &ModalWindow::stopRun);
    }
}

void ModalWindow::startRun(BackgroundRun::Work work, std::function<void(const BackgroundRun::Outcome&)> done,
                           const std::vector<QWidget*>& live)
{
    done_ = std::move(done);
    lockControls(live);
    run_.start(std::move(work));
}

void ModalWindow::stopRun()
{
    if (!isBusy())
        return;
    if (stop_)
        stop_->setEnabled(false); // once is enough; the run ends or is given up within a second
    run_.stop();
}

void ModalWindow::showRunStatus(const QString& text)
{
    if (!status_)
        return;
    if (!isBusy() || text.isEmpty()) {
        status_->setText(text);
        return;
    }
    status_->setText(text + QStringLiteral("   [") + elapsedText(run_.elapsedMs()) + QLatin1Char(']'));
}

void ModalWindow::lockControls(const std::vector<QWidget*>& live)
{
    // Every control that takes input, wherever it sits; what was disabled already stays so.
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (widget == stop_ || widget->focusPolicy() == Qt::NoFocus || widget->isWindow())
            continue;
        if (std::find(live.begin(), live.end(), widget) != live.end())
            continue;
        if (widget->testAttribute(Qt::WA_ForceDisabled))
            continue;
        widget->setEnabled(false);
        locked_.emplace_back(widget);
    }
    if (stop_) {
        stop_->setEnabled(true);
        stop_->show();
        stop_->raise();
        stop_->setFocus();
    }
}

void ModalWindow::unlockControls()
{
    for (const QPointer<QWidget>& widget : locked_)
        if (widget)
            widget->setEnabled(true);
    locked_.clear();
    if (stop_)
        stop_->hide();
}

} // namespace zobran
