#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zobran {

// Shows what the script tool prints while it runs in the normal window style, one section per run;
// it stays open after the run, so the user can read it, until closed.
class OsqlOutputWindow : public QWidget {
    Q_OBJECT
public:
    explicit OsqlOutputWindow(QWidget* owner);

    // Starts a section for the run of one script and shows the window in front.
    void beginRun(const QString& caption);
    void appendOutput(const QString& text);
    // Closes the section with how the run ended.
    void endRun(const QString& outcome);
    void clear();

    QString text() const;

private:
    void appendLine(const QString& line);

    QLabel* caption_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QPushButton* close_ = nullptr;
    bool atLineStart_ = true;
};

} // namespace zobran
