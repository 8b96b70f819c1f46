#pragma once

#include "errors/ErrLogFormat.h"
#include "ui/ModalWindow.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zobran {

// The "Error Message" window (TRERR). Loading it shows the pending error report and logs it to the
// daily error log; when the log cannot be written, one line under the report says so and why.
// Unloading it (close button, close box, Escape) empties the report.
class ErrorWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit ErrorWindow(QWidget* parent = nullptr);

    // The report as the window's controls show it.
    ErrLogEntry shownReport() const;

    // Appends the shown report to today's error log; throws AppError when it cannot.
    void WriteErrLog() const;

protected:
    void formLoad() override;
    void formUnload() override;

private:
    void logShownReport();

    QLabel* errCode_;
    QPlainTextEdit* errTxt_;
    QLabel* errForm_;
    QLabel* errSub_;
    QLabel* logTrouble_;
    QPushButton* cClose_;
};

// The one program-wide error window, created on first use.
ErrorWindow& errorWindow();

} // namespace zobran
