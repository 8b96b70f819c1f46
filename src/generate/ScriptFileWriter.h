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
// when missing (one level). A name the user chose is opened for appending (an existing file keeps
// its content); the default name never adds to an existing file: when one of that name is there
// (two runs in one second) the first free name of <name>_2, <name>_3, ... is taken. Every line is
// written in UTF-8 without byte-order mark and ended by CR LF; then the last script file becomes
// its path, the buffer is emptied and the status hook gets "".
//
// Failures raise FileError with the path and the system's reason ("No space left on device"): 76
// when the program folder or the Export folder cannot be reached, 75 when the folder cannot be
// created or the file cannot be opened or written, or when the chosen name holds a folder
// separator. A failed write takes the file back to what it held before (a file the write created
// is removed), so no file ends with part of a statement; the lines stay pending, whole, for the
// next write, and the status keeps its text.
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
    // Files go into this folder (made when missing) instead of the Export folder; "" for Export.
    void setFolder(const QString& folder) { folder_ = folder; }

    void writePendingLines(ScriptKind kind, qint16 fileNumber);

    // The full path of the last file written, "" after a write that wrote nothing or failed.
    const QString& lastScriptFile() const { return lastScriptFile_; }

private:
    QString chooseName(const QString& defaultName) const;
    void showStatus(const QString& text) const;

    PendingLineBuffer& lines_;
    Hooks hooks_;
    bool autoName_ = true;
    QString folder_;
    QString lastScriptFile_;
};

} // namespace zobran
