#pragma once

#include <QPointer>
#include <QString>

class QWidget;

namespace zobran {

class OsqlOutputWindow;

// How a window shows the script tool's runs: the single-database window shows what the tool prints
// in an output window of the program while it comes (one section per run); the multi-database
// window runs it unseen. The runs themselves go on the window's run (import/BatchRun.h).
class ToolOutputView {
public:
    explicit ToolOutputView(QWidget* owner) : owner_(owner) {}

    // The output window once a run has made it; null before.
    OsqlOutputWindow* outputWindow() const;
    // Starts a section for the run of one script (the window shows and comes to the front).
    void beginRun(const QString& caption);
    void appendOutput(const QString& text);
    void endRun(const QString& outcome);
    // Empties the output window (a new run of the window's files begins).
    void clear();
    void close();

private:
    OsqlOutputWindow& shown();

    QWidget* owner_;
    QPointer<OsqlOutputWindow> output_;
};

} // namespace zobran
