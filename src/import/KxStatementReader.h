#pragma once

#include <QString>
#include <QStringView>

namespace zobran {

// Puts the statements of a KX script back together, fed one line at a time (without its line
// end; a KX file's lines end at CR or CR LF). Every statement stands between "<" and ">":
//
// - a line whose first character other than blanks is "<" opens a statement (the blanks before
//   the "<" are not part of it); when the line also ends with ">" it is a whole statement;
// - any other line, while a statement is open, is a piece of it, joined exactly as read, without
//   separator;
// - a piece that ends with ">" ends the statement (the ">" is not part of it).
//
// Both import windows read alike. Text that is not part of a statement is never handed out as one,
// but the reader tells of it, so that it can be reported:
// - a line that opens a statement while another one is still open drops the open one, which never
//   got its ">" (droppedUnfinished());
// - a line that stands outside any statement, neither opening one nor following an opened one, is
//   not used (lineOutsideStatement(); a line of blanks or an empty one does not count).
// After a statement has been handed out the reader starts afresh, so stray text after it can never
// bring the same statement back a second time.
class KxStatementReader {
public:
    // The statement the line completes, or null; valid until the next call.
    const QString* feedLine(QStringView line);

    // What the last line fed did besides: dropped the unfinished statement before it (its text:
    // droppedText()), or stood outside any statement.
    bool droppedUnfinished() const { return dropped_; }
    const QString& droppedText() const { return droppedText_; }
    bool lineOutsideStatement() const { return outside_; }

    // Text of a statement begun but not ended (to report at the end of a file).
    bool hasUnfinishedStatement() const { return started_ && !completed_; }
    const QString& unfinishedText() const { return buffer_; }

    // Forgets everything; for the next file.
    void reset();

private:
    QString buffer_;
    bool completed_ = false;
    bool started_ = false;
    bool dropped_ = false;
    bool outside_ = false;
    QString droppedText_;
};

} // namespace zobran
