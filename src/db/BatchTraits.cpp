#include "db/BatchTraits.h"

#include <QLatin1StringView>

#include <array>
#include <limits>

namespace zobran::db {

namespace {

// What a scan of a statement's text found.
struct Scan {
    QStringView first; // the first and second word
    QStringView second;
    bool hasCode = false;
    bool closed = true;   // no quote or block comment left open
    bool several = false; // code after a ";"
    bool dollar = false;
    bool at = false;
    bool forbidden = false; // a word of the list below
    int setWords = 0;
};

constexpr std::array<QLatin1StringView, 10> ForbiddenWords{
    QLatin1StringView("BEGIN"), QLatin1StringView("COMMIT"),  QLatin1StringView("ROLLBACK"),
    QLatin1StringView("SAVE"),  QLatin1StringView("TRAN"),    QLatin1StringView("TRANSACTION"),
    QLatin1StringView("EXEC"),  QLatin1StringView("EXECUTE"), QLatin1StringView("RETURN"),
    QLatin1StringView("GOTO"),
};

constexpr std::array<QLatin1StringView, 13> KeepingFirstWords{
    QLatin1StringView("INSERT"),   QLatin1StringView("UPDATE"), QLatin1StringView("DELETE"),
    QLatin1StringView("MERGE"),    QLatin1StringView("WITH"),   QLatin1StringView("SELECT"),
    QLatin1StringView("CREATE"),   QLatin1StringView("ALTER"),  QLatin1StringView("DROP"),
    QLatin1StringView("TRUNCATE"), QLatin1StringView("GRANT"),  QLatin1StringView("REVOKE"),
    QLatin1StringView("USE"),
};

bool is(QStringView word, QLatin1StringView name)
{
    return word.size() == name.size() && word.compare(name, Qt::CaseInsensitive) == 0;
}

template <std::size_t N>
bool isOneOf(QStringView word, const std::array<QLatin1StringView, N>& names)
{
    // Most words are names of tables and columns: their length alone rules nearly all of them out.
    if (word.size() < 3 || word.size() > 11)
        return false;
    for (const QLatin1StringView name : names)
        if (is(word, name))
            return true;
    return false;
}

bool isWordCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '#'
        || u >= 0x80;
}

bool isBlank(char16_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

Scan scan(QStringView text)
{
    Scan found;
    bool semicolon = false;
    int words = 0;
    const qsizetype n = text.size();
    const auto code = [&] {
        found.hasCode = true;
        if (semicolon)
            found.several = true;
    };
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = text[i].unicode();
        if (isBlank(c)) {
            ++i;
            continue;
        }
        if (c == '\'' || c == '"' || c == '[') {
            code();
            const char16_t close = c == '[' ? u']' : c;
            bool ended = false;
            for (++i; i < n; ++i) {
                if (text[i] != close)
                    continue;
                if (i + 1 < n && text[i + 1] == close) {
                    ++i; // a doubled one stands for itself
                    continue;
                }
                ++i;
                ended = true;
                break;
            }
            if (!ended)
                found.closed = false;
            continue;
        }
        if (c == '-' && i + 1 < n && text[i + 1] == u'-') {
            while (i < n && text[i] != u'\n' && text[i] != u'\r')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == u'*') {
            int depth = 0;
            while (i < n) {
                if (text[i] == u'/' && i + 1 < n && text[i + 1] == u'*') {
                    ++depth;
                    i += 2;
                } else if (text[i] == u'*' && i + 1 < n && text[i + 1] == u'/') {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++i;
                }
            }
            if (depth > 0)
                found.closed = false;
            continue;
        }
        if (c == ';') {
            semicolon = true;
            ++i;
            continue;
        }
        code();
        if (isWordCharacter(text[i])) {
            qsizetype end = i + 1;
            while (end < n && isWordCharacter(text[end]))
                ++end;
            const QStringView word = text.sliced(i, end - i);
            if (words == 0)
                found.first = word;
            else if (words == 1)
                found.second = word;
            ++words;
            if (is(word, QLatin1StringView("SET")))
                ++found.setWords;
            else if (isOneOf(word, ForbiddenWords))
                found.forbidden = true;
            i = end;
            continue;
        }
        if (c == '$')
            found.dollar = true;
        else if (c == '@')
            found.at = true;
        ++i;
    }
    return found;
}

// How many SET words a statement of this beginning may hold.
int setWordsAllowed(const Scan& s)
{
    if (is(s.first, QLatin1StringView("MERGE")))
        return std::numeric_limits<int>::max();
    if (is(s.first, QLatin1StringView("UPDATE")) || is(s.first, QLatin1StringView("WITH")))
        return 1;
    if (is(s.first, QLatin1StringView("SET"))
        && (is(s.second, QLatin1StringView("IDENTITY_INSERT")) || is(s.second, QLatin1StringView("NOCOUNT"))))
        return 1;
    return 0;
}

bool beginsKeepingStatement(const Scan& s)
{
    return isOneOf(s.first, KeepingFirstWords) || (is(s.first, QLatin1StringView("SET")) && setWordsAllowed(s) == 1);
}

} // namespace

BatchTraits batchTraitsOf(QStringView statement)
{
    // A text holding a NUL character is never sent (checkStatementText): it goes alone, to be refused.
    const bool nul = statement.contains(QChar(u'\0'));
    const Scan s = scan(statement);
    BatchTraits traits;
    const bool plain = s.closed && !s.several && !s.dollar && !s.forbidden && s.setWords <= setWordsAllowed(s);
    const bool dataChange = is(s.first, QLatin1StringView("INSERT")) || is(s.first, QLatin1StringView("UPDATE"))
        || is(s.first, QLatin1StringView("DELETE"));
    traits.joinable = plain && dataChange && !s.at && !nul;
    traits.keepsBatching = nul || !s.hasCode || (plain && beginsKeepingStatement(s));
    return traits;
}

} // namespace zobran::db
