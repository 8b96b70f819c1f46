#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zobran {

// Puts the statements of a KX script back together, fed one line at a time (without its line
// end; a KX file's lines end at CR or CR LF). Every statement stands between "<" and ">": a line
// that begins with "<" and ends with ">" is a whole statement; otherwise a line beginning with "<"
// starts one, a line ending with ">" ends one, and the lines are joined without separator.
//
// The multi-database import strips the leading spaces of every line before looking at it; the
// single-database import keeps them. After a statement has been handed out the reader starts
// afresh, so stray text after it can never bring the same statement back a second time.
class KxStatementReader {
public:
    enum class LeadingSpaces { Keep, Strip };

    explicit KxStatementReader(LeadingSpaces leadingSpaces) : leadingSpaces_(leadingSpaces) {}

    // The statement the line completes, if it completes one; valid until the next call.
    std::optional<std::string_view> feedLine(std::string_view line);

    // Text of a statement begun but not ended (to report at the end of a file).
    bool hasUnfinishedStatement() const { return !completed_ && (started_ || !buffer_.empty()); }
    const std::string& unfinishedText() const { return buffer_; }

    // Forgets everything; for the next file.
    void reset();

private:
    LeadingSpaces leadingSpaces_;
    std::string buffer_;
    bool completed_ = false;
    bool started_ = false;
};

} // namespace zobran
