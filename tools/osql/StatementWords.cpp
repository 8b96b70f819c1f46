#include "osql/StatementWords.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zobran::osql {

namespace {

// The words looked at; everything else is Word::Other.
enum Word {
    Other,
    Insert,
    Update,
    Delete,
    Select,
    Create,
    Alter,
    Drop,
    Truncate, // the last one that starts a statement at the start of a line
    With,
    Values,
    Default,
    Exec,
    Execute,
    Merge,
    As,
    Union,
    All,
    Except,
    Intersect,
};

constexpr std::array<std::pair<std::string_view, Word>, 19> Words{{
    {"INSERT", Insert},   {"UPDATE", Update}, {"DELETE", Delete},     {"SELECT", Select},       {"CREATE", Create},
    {"ALTER", Alter},     {"DROP", Drop},     {"TRUNCATE", Truncate}, {"WITH", With},           {"VALUES", Values},
    {"DEFAULT", Default}, {"EXEC", Exec},     {"EXECUTE", Execute},   {"MERGE", Merge},         {"AS", As},
    {"UNION", Union},     {"ALL", All},       {"EXCEPT", Except},     {"INTERSECT", Intersect},
}};

Word wordOf(std::string_view upper)
{
    if (upper.size() > StatementWords::LongestWord)
        return Other;
    for (const auto& [text, word] : Words)
        if (text == upper)
            return word;
    return Other;
}

bool startsAStatement(Word word)
{
    return word >= Insert && word <= Truncate;
}

} // namespace

void StatementWords::reset()
{
    depth_ = 0;
    joinsNext_ = false;
    firstWord_ = FirstWord::None;
    awaitingRows_ = false;
    awaitingQuery_ = false;
}

void StatementWords::word(std::string_view upper)
{
    if (depth_ > 0 && firstWord_ != FirstWord::None) {
        // Inside parentheses no line starts a statement: the words there (values, mostly) tell nothing.
        joinsNext_ = false;
        return;
    }
    const Word word = wordOf(upper);
    if (firstWord_ == FirstWord::None) {
        firstWord_ = word == Insert ? FirstWord::Insert : word == With ? FirstWord::With : FirstWord::Other;
        awaitingRows_ = word == Insert;
        awaitingQuery_ = word == With;
    } else {
        if (word == Values || word == Select || word == Default || word == Exec || word == Execute)
            awaitingRows_ = false;
        if (word == Select || word == Insert || word == Update || word == Delete || word == Merge)
            awaitingQuery_ = false;
    }
    joinsNext_ = word == As || word == Union || word == All || word == Except || word == Intersect;
}

void StatementWords::symbol(char c)
{
    if (c == '(')
        ++depth_;
    else if (c == ')')
        depth_ = std::max(depth_ - 1, 0);
    joinsNext_ = false;
}

bool StatementWords::startsStatement(std::string_view upper) const
{
    const Word word = wordOf(upper);
    if (!startsAStatement(word))
        return false;
    if (depth_ > 0 || joinsNext_)
        return false;
    if (word == Select && awaitingRows_)
        return false;
    return !(awaitingQuery_ && (word == Select || word == Insert || word == Update || word == Delete));
}

} // namespace zobran::osql
