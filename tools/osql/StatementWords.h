#pragma once

#include <cstddef>
#include <string_view>

namespace zobran::osql {

// Where a statement ends in a batch for a server that takes one statement per call, told from its
// words; the script splitter does the lexing (quotes, comments, GO lines) and hands over only what
// stands in code, in upper case.
//
// A statement ends at each ";" (the splitter's part) and before each line whose first word is
// INSERT, UPDATE, DELETE, SELECT, CREATE, ALTER, DROP or TRUNCATE. Such a line goes on with the
// statement before it where that statement cannot have ended: inside parentheses, after AS, UNION,
// ALL, EXCEPT or INTERSECT, a SELECT after an INSERT that has no VALUES yet, and the query after a
// WITH.
class StatementWords {
public:
    // No word longer than this matters; the splitter may hand over longer ones cut short.
    static constexpr std::size_t LongestWord = 9;

    // A new statement begins.
    void reset();
    // A word of the statement ended.
    void word(std::string_view upper);
    // A character of code that is not part of a word (a quote that opens a string or name counts).
    void symbol(char c);
    // Whether a line whose first word is this one starts a statement of its own.
    bool startsStatement(std::string_view upper) const;

private:
    enum class FirstWord { None, Insert, With, Other };

    int depth_ = 0;
    bool joinsNext_ = false;
    FirstWord firstWord_ = FirstWord::None;
    bool awaitingRows_ = false;
    bool awaitingQuery_ = false;
};

} // namespace zobran::osql
