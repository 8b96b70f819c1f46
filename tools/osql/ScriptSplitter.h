#pragma once

#include "osql/ByteSource.h"
#include "osql/StatementWords.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zobran::osql {

// A place in a script: the byte offset in its source and the line number there.
struct ScriptPosition {
    std::int64_t offset = 0;
    std::int64_t line = 1;
};

// What the splitter hands out: a text to run, or the end of a batch.
struct ScriptPiece {
    enum class Kind { Text, BatchEnd };
    Kind kind = Kind::Text;
    // Text: one statement or one whole batch, without the blanks and line ends around it. Valid
    // until the next call of next().
    QByteArrayView text;
    // Text: the line its first character stands on. BatchEnd: the line of the GO (for the GO
    // implied at the end of the script, the line the script ends on).
    std::int64_t line = 0;
    // BatchEnd: how often the batch runs (GO 3 runs it three times) and where its text began, so
    // that a repeat can read it again from the source.
    int repeat = 1;
    ScriptPosition batchStart;
};

// Cuts a script into batches, and on request the batches into statements, reading its bytes in
// chunks and holding no more than the piece in hand and the line being looked at.
//
// A batch ends at a line that holds GO alone (any case, blanks around it), optionally followed by a
// positive count and by comments that end on that line: "GO", " go 3 -- again". A line where
// anything else follows GO belongs to the batch ("GOTO x", "go;", "GO x"), and so does GO standing
// inside a quoted string ('...' with '' inside; N'...' likewise), a bracketed name ([...] with ]]
// inside), a double-quoted name ("..." with "" inside), a block comment (/* ... */, nested ones
// counted) or after "--". The end of the script ends the last batch. Batches that hold only blanks
// and comments are skipped.
//
// In statement mode the texts are the statements of each batch, for a server that takes one
// statement per call: the splitter hands the words of code (outside quoted strings and comments) to
// StatementWords, which says where a statement ends.
//
// Line ends may be CR LF, LF or CR; every byte of a text stays as it was in the script (line breaks
// inside quoted values included). Syntax is recognised on bytes, which works alike for UTF-8 and for
// Windows-1252. A quoted string or block comment left open at the end of the script takes the rest
// of the script into the text it began in, which goes to the server even when it holds nothing but
// that comment: the server reports it, instead of the rest of the script passing unnoticed.
class ScriptSplitter {
public:
    enum class Mode { WholeBatches, Statements };
    static constexpr std::size_t DefaultChunkBytes = std::size_t{1} << 20;

    // Reads from start (the source is positioned there before every read).
    ScriptSplitter(ByteSource& source, Mode mode, ScriptPosition start = {},
                   std::size_t chunkBytes = DefaultChunkBytes);

    // The next piece; false at the end of the script.
    bool next(ScriptPiece& piece);

private:
    enum class Lex { Code, SingleQuote, DoubleQuote, Bracket, BlockComment, LineComment };

    bool refill();
    int byteAt(std::size_t ahead);
    void consumeLineEnd();
    bool atStartOfLine(ScriptPiece& piece);
    bool isGoLine(std::size_t from, int& count, std::size_t& lineLength);
    bool startsStatementHere(std::size_t from);
    void scanQuoted(char close);
    void scanBlockComment();
    void scanLineComment();
    void markCode()
    {
        if (!pieceOpen_)
            openPiece();
        pieceHasCode_ = true;
        lastSignificantEnd_ = pos_ + 1;
    }
    void openPiece();
    void endWord();
    bool takeText(ScriptPiece& piece);
    void resetStatement();
    bool finishAtEnd(ScriptPiece& piece);

    ByteSource& source_;
    Mode mode_;
    std::size_t chunkBytes_;

    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::int64_t bufferOffset_ = 0; // offset in the source of buffer_[0]
    bool sourceEnded_ = false;

    Lex lex_ = Lex::Code;
    int commentDepth_ = 0;
    bool atLineStart_ = true;
    std::int64_t line_ = 1;

    bool pieceOpen_ = false;
    bool pieceHasCode_ = false;
    std::size_t pieceStart_ = 0;
    std::size_t lastSignificantEnd_ = 0;
    std::int64_t pieceLine_ = 0;

    ScriptPosition batchStart_;
    bool batchHasText_ = false;
    bool pendingBatchEnd_ = false;
    ScriptPiece batchEnd_;
    bool finished_ = false;

    // What the statement in hand tells about whether a keyword line may start the next one.
    StatementWords words_;
    bool inWord_ = false;
    int wordLength_ = 0;
    char word_[12] = {};
};

} // namespace zobran::osql
