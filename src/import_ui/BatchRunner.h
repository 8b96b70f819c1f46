#pragma once

#include "import/BatchRunResult.h"
#include "import/OsqlCommandLine.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace zobran {

class OsqlOutputWindow;

// How a run shows itself: the single-database window shows the tool's output, the multi-database
// window runs it unseen.
enum class WindowStyle { Hidden, NormalFocus };

// Runs the batch file with /bin/sh, its OSQL always the one beside the program, and waits for its end in
// an event loop of its own, so the windows stay painted and live; nothing else starts meanwhile
// unless the caller lets it. In the normal style the output shows in a window of the program while
// it comes; hidden, it is only kept.
class BatchRunner {
public:
    explicit BatchRunner(QWidget* owner);
    ~BatchRunner();
    BatchRunner(const BatchRunner&) = delete;
    BatchRunner& operator=(const BatchRunner&) = delete;

    // caption names the run in the output window (the script's path).
    BatchRunResult runAndWait(const QString& batchPath, WindowStyle style, const QString& caption);

    // The output window once a normal run has made it; null before.
    OsqlOutputWindow* outputWindow() const;
    // Empties the output window (a new run of the window's files begins).
    void clearOutput();

    // The most output a result keeps, in characters.
    static constexpr qsizetype KeptOutputChars = 16000;

private:
    OsqlOutputWindow& shownOutputWindow();

    QWidget* owner_;
    QPointer<OsqlOutputWindow> output_;
};

// One .sql file as the windows run it: the command line from the arguments, TmExe.bat replaced by
// it, run and waited for. A batch file that cannot be written raises FileError.
BatchRunResult runOsqlFile(BatchRunner& runner, const OsqlArguments& arguments, WindowStyle style);

} // namespace zobran
