#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zobran {

// Puts the statements of a KX script back together, fed one line at a time (without its line
// end; a KX file's lines end at CR or CR LF). Every statement stands between "<" and ">":
//
// - a line whose first character other than blanks is "<" opens a statement (the blanks before
//   the "<" are not part of it); when the line also ends with ">" it is a whole statement;
// - any other line is a piece of the open statement, joined exactly as read, without separator;
// - a piece that ends with ">" ends the statement (the ">" is not part of it).
//
// Both import windows read alike. After a statement has been handed out the reader starts afresh,
// so stray text after it can never bring the same statement back a second time.
class KxStatementReader {
public:
    // The statement the line completes, if it completes one; valid until the next call.
    std::optional<std::string_view> feedLine(std::string_view line);

    // Text of a statement begun but not ended (to report at the end of a file).
    bool hasUnfinishedStatement() const { return !completed_ && (started_ || !buffer_.empty()); }
    const std::string& unfinishedText() const { return buffer_; }

    // Forgets everything; for the next file.
    void reset();

private:
    std::string buffer_;
    bool completed_ = false;
    bool started_ = false;
};

} // namespace zobran
