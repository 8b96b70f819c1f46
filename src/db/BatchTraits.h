#pragma once

#include <QStringView>

namespace zobran::db {

// What may be done with a statement when the statements of a file are sent in batches
// (StatementBatcher). The rules are conservative: a statement shares a text with others only where
// that cannot change what it does, and a statement that could change how later ones run ends the
// batches of its file. Words count only outside quoted strings, quoted names and comments.
//
// A statement is joinable, may share a text with others, when
// - its first word is INSERT, UPDATE or DELETE;
// - every quoted string ('...'), quoted name ("..." or [...]) and block comment in it closes, so
//   that nothing of it can run on into the statement after it;
// - a ";" stands only at its end (a text of several statements goes alone);
// - it holds no "$" (the stand-in server's dollar quotes, which these rules do not read), no "@"
//   (variables belong to the whole text they stand in), no NUL character (such a text is never
//   sent), none of the words that open, end or leave a transaction or a batch, or call a procedure
//   that might (BEGIN, COMMIT, ROLLBACK, SAVE, TRAN, TRANSACTION, EXEC, EXECUTE, RETURN, GOTO), and
//   no SET but the one of an UPDATE (SET XACT_ABORT or SET IMPLICIT_TRANSACTIONS would change how
//   the rest of the batch runs).
//
// A statement that is not joinable goes alone, in its place. The file's batches go on after it
// (keepsBatching) only when it can neither open a transaction nor change how errors are handled:
// its quotes and comments close, it is one statement, it holds no "$" and none of the words above,
// and it begins INSERT, UPDATE, DELETE, MERGE, WITH, SELECT, CREATE, ALTER, DROP, TRUNCATE, GRANT,
// REVOKE or USE, SET IDENTITY_INSERT or SET NOCOUNT (SET only there, or once after UPDATE or WITH,
// or in a MERGE). A statement of blanks and comments, or one holding a NUL character (never sent),
// changes nothing either. Any other statement (BEGIN TRANSACTION, SET XACT_ABORT ON, EXEC, ...)
// and every statement after it go alone, as they would without batches.
struct BatchTraits {
    bool joinable = false;
    bool keepsBatching = false;
};

BatchTraits batchTraitsOf(QStringView statement);

} // namespace zobran::db
