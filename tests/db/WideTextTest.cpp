#include "db/odbc/WideText.h"

#include <QString>

#include <gtest/gtest.h>

using namespace zobran::db;

TEST(WideText, Utf16BecomesTheSameUtf8AsQtMakesWhateverTheRunsAndPieces)
{
    // ASCII runs of every length around the block sizes of the fast path, between non-ASCII
    // characters, surrogate pairs and a surrogate pair cut between two pieces.
    QString text;
    for (int run = 0; run < 40; ++run) {
        for (int i = 0; i < run; ++i)
            text += QChar(u'a' + (i + run) % 26);
        text += run % 3 == 0 ? QString::fromUtf8("é") : run % 3 == 1 ? QString::fromUtf8("日") : QString::fromUtf8("😀");
    }
    const auto* units = reinterpret_cast<const SQLWCHAR*>(text.utf16());
    const auto total = static_cast<std::size_t>(text.size());
    for (const std::size_t pieceUnits : {total, std::size_t{7}, std::size_t{16}, std::size_t{33}}) {
        std::string out;
        char16_t pending = 0;
        for (std::size_t at = 0; at < total; at += pieceUnits)
            appendUtf16AsUtf8(out, units + at, std::min(pieceUnits, total - at), pending);
        finishUtf16(out, pending);
        EXPECT_EQ(out, text.toStdString()) << "pieces of " << pieceUnits;
    }

    // An unpaired surrogate stands as U+FFFD.
    const SQLWCHAR lone[] = {u'x', 0xD800, u'y', 0xDC00};
    std::string out;
    char16_t pending = 0;
    appendUtf16AsUtf8(out, lone, 4, pending);
    finishUtf16(out, pending);
    EXPECT_EQ(out, "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}
