#pragma once

#include "generate/ScriptKind.h"
#include "ui/ConnectionFields.h"

#include <QString>

#include <optional>

namespace zobran {

// The boxes a command button of the Generate Script window checks before it reconnects.
enum class MgenBox { Driver, Server, Database, Login, Password, Sql, TableName };

struct MgenRefusal {
    MgenBox box;     // where the focus goes
    QString message; // shown with title "Message" and the critical icon
};

// The first refusal of a click on CBut(button): the five connection boxes in order, then for the
// buttons 1, 2 and 3 the SQL box ("Invalid SQL !!!") and for the buttons 1 and 2 the table name
// ("Invalid Table Name !!!"). Nothing when the click may go on.
std::optional<MgenRefusal> mgenButtonRefusal(int button, const ConnectionTexts& connection, const QString& sql,
                                             const QString& tableName);

// How a generation ended, for its closing message.
struct GenerationOutcome {
    // An error ended the run, or lines it built were left unwritten: the script is incomplete.
    bool stopped = false;
    QString lastCompleteFile;   // the last file this run wrote completely; "" when none
    long failedWrites = 0;      // file writes that failed, the first one reported (their lines stayed pending)
    bool stoppedByUser = false; // the user stopped it (stopped is set too)
};

// The message after a generation, shown with title "Message":
// - completed with a file: the last file written and " Script Done." (exclamation icon); when a
//   write failed on the way, a note that its lines went into the next file;
// - either way, after more than one failed write, how many failed (only the first was reported);
// - completed without a file: no file was written, the queries returned no rows (exclamation);
// - stopped: the generation stopped on an error, or the user stopped it, with the last file written
//   completely or none (critical icon); never " Script Done.".
// A KX run adds how many values held a carriage return (a KX file cannot carry them intact) and
// how many statements had to be cut where a KX reader cannot restore them.
struct GenerationMessage {
    QString text;
    bool isFailure = false; // shown with the critical icon
};
GenerationMessage generationClosingMessage(const GenerationOutcome& outcome, ScriptKind kind,
                                           long valuesWithCarriageReturn, long statementsNotRestorable);

} // namespace zobran
