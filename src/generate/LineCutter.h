#pragma once

#include "generate/ScriptKind.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace zobran {

// Longest script line, in characters (Unicode code points).
constexpr std::size_t MaxLineChars = 1000;

// Cuts a statement into script lines. A statement of up to MaxLineChars characters is one line;
// a longer one is cut so that no cut changes what the file's reader gets back:
//
// KX kind: lines are joined again without separator, a line whose first character other than
// blanks is "<" starts a statement, and one that ends with ">" ends it; a reader may also drop the
// blanks at the start of every line (the program's own reader keeps them). So each line is at most
// MaxLineChars long and a cut moves earlier until the next line begins with neither "<" nor a
// blank and the line does not end with ">". Statements without such characters at a cut point are
// cut exactly every MaxLineChars characters. Where no such point exists within MaxLineChars
// characters (a value holding a thousand blanks or brackets in a row) the line is cut inside the
// blanks where a reader that keeps them still restores the statement, else at MaxLineChars, and
// the statement is counted in statementsNotRestorable().
//
// SQL kind: a line break becomes part of the statement the script runner reads, so lines are cut
// only outside quoted values ('...', [...], "..."), right after a "," or right before a blank,
// each line as long as possible up to MaxLineChars. A value longer than that stays whole: its line
// is longer and cutting goes on after it.
//
// Cuts never split a UTF-8 sequence. The pieces are views into the statement.
class LineCutter {
public:
    explicit LineCutter(ScriptKind kind) : kind_(kind) {}

    ScriptKind kind() const { return kind_; }

    // The lines of one statement; valid until the next call and as long as the statement.
    const std::vector<std::string_view>& cut(std::string_view statement);

    // KX statements cut where some reader cannot restore them exactly, since the last reset.
    long statementsNotRestorable() const { return statementsNotRestorable_; }
    void resetCounts() { statementsNotRestorable_ = 0; }

private:
    struct CutPoint {
        std::size_t character;
        std::size_t byte;
    };

    void cutBracketed(std::string_view statement);
    void cutPlain(std::string_view statement, std::size_t characters);
    void collectPlainCutPoints(std::string_view statement);

    ScriptKind kind_;
    std::vector<std::string_view> lines_;
    std::vector<CutPoint> points_;
    long statementsNotRestorable_ = 0;
};

// Characters (code points) of UTF-8 text.
std::size_t utf8Length(std::string_view text);

} // namespace zobran
