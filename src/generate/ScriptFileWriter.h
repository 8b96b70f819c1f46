#pragma once

#include "generate/ScriptKind.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace zobran {

class PendingLineBuffer;

// Writes the pending script lines into a script file in the Export folder of the program folder
// and empties the buffer (what the Generate Script window calls when a file is due).
//
// Each write: the last script file becomes ""; with no pending line nothing else happens.
// Otherwise the status hook gets "Start Generate <kind> File ...", the name is the default name
// (SQL-yyyyMMdd-HHmmss-<file number>) when auto-naming is on, else the chooser's answer (an empty
// answer or a cancel gives the default name); ".<kind>" is appended; the Export folder is created
// when missing (one level); the file is opened for appending (an existing file keeps its content),
// every line is written in UTF-8 without byte-order mark and ended by CR LF; then the last script
// file becomes its path, the buffer is emptied and the status hook gets "".
//
// Failures raise AppError: 76 when the program folder or the Export folder cannot be reached,
// 75 when the folder cannot be created or the file cannot be opened or written, or when the
// chosen name holds a folder separator. The lines then stay pending and the status keeps its text.
class ScriptFileWriter {
public:
    struct Hooks {
        std::function<QDateTime()> now; // the clock for the default name; local time when unset
        // Asked for each file when auto-naming is off, with the default name to offer;
        // nothing (cancel) or "" means the default name. Unset: the default name.
        std::function<std::optional<QString>(const QString& defaultName)> chooseName;
        std::function<void(const QString& text)> status; // the window's status label
    };

    ScriptFileWriter(PendingLineBuffer& lines, Hooks hooks);

    void setAutoName(bool on) { autoName_ = on; }
    bool autoName() const { return autoName_; }

    void writePendingLines(ScriptKind kind, qint16 fileNumber);

    // The full path of the last file written, "" after a write that wrote nothing or failed.
    const QString& lastScriptFile() const { return lastScriptFile_; }

private:
    QString chooseName(const QString& defaultName) const;
    void showStatus(const QString& text) const;

    PendingLineBuffer& lines_;
    Hooks hooks_;
    bool autoName_ = true;
    QString lastScriptFile_;
};

} // namespace zobran
