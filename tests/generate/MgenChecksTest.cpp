#include "generate_ui/MgenChecks.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace zobran;

namespace {

const ConnectionTexts Filled{"SQL Server", "srv", "shop", "sa", "pw"};

} // namespace

TEST(MgenButtonChecks, ConnectionBoxesFirstThenSqlThenTableByButton)
{
    const auto refusal = mgenButtonRefusal(4, {"SQL Server", "", "", "", ""}, "", "");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->box, MgenBox::Server);
    EXPECT_EQ(refusal->message, "Invalid Server Name !!!");

    // Connect and Generate need no SQL and no table name.
    EXPECT_FALSE(mgenButtonRefusal(0, Filled, "", ""));
    EXPECT_FALSE(mgenButtonRefusal(4, Filled, "", ""));
    for (int button : {1, 2, 3}) {
        const auto noSql = mgenButtonRefusal(button, Filled, "", "t");
        ASSERT_TRUE(noSql) << button;
        EXPECT_EQ(noSql->box, MgenBox::Sql);
        EXPECT_EQ(noSql->message, "Invalid SQL !!!");
    }
    // Add Query and Refresh Grid need the table name; Execute SQL does not.
    for (int button : {1, 2}) {
        const auto noTable = mgenButtonRefusal(button, Filled, "select 1", "");
        ASSERT_TRUE(noTable) << button;
        EXPECT_EQ(noTable->box, MgenBox::TableName);
        EXPECT_EQ(noTable->message, "Invalid Table Name !!!");
    }
    EXPECT_FALSE(mgenButtonRefusal(3, Filled, "select 1", ""));
    EXPECT_FALSE(mgenButtonRefusal(1, Filled, " ", " ")) << "blanks are text";
}

TEST(GenerationClosingMessage, NamesTheLastFileAndWarnsOnlyForKx)
{
    const GenerationOutcome wrote{false, "/p/Export/SQL-20091207-153045-1.SQL", 0};
    const GenerationMessage done = generationClosingMessage(wrote, ScriptKind::Sql, 0, 0);
    EXPECT_EQ(done.text, "/p/Export/SQL-20091207-153045-1.SQL Script Done.");
    EXPECT_FALSE(done.isFailure);

    // The SQL kind carries carriage returns and long runs intact: no note for it.
    EXPECT_EQ(generationClosingMessage({false, "f.SQL", 0}, ScriptKind::Sql, 3, 2).text, "f.SQL Script Done.");

    const QString kx = generationClosingMessage({false, "f.KX", 0}, ScriptKind::Kx, 3, 0).text;
    EXPECT_TRUE(kx.startsWith("f.KX Script Done.")) << kx.toStdString();
    EXPECT_TRUE(kx.contains("3 value(s) held a carriage return"));
    EXPECT_FALSE(kx.contains("statement(s)"));
    const QString both = generationClosingMessage({false, "f.KX", 0}, ScriptKind::Kx, 1, 2).text;
    EXPECT_TRUE(both.contains("1 value(s) held a carriage return"));
    EXPECT_TRUE(both.contains("2 statement(s) hold a long run"));
}

TEST(GenerationClosingMessage, CountsTheFailedWritesOfWhichOnlyTheFirstWasReported)
{
    const std::tuple<GenerationOutcome, QString> cases[] = {
        {{false, "f.SQL", 1},
         "f.SQL Script Done.\n\n1 file write(s) failed and were reported; their lines went into "
         "the next file written."},
        {{false, "f.SQL", 4},
         "f.SQL Script Done.\n\n4 file writes failed; the first failure was reported. Their "
         "lines went into the next file written."},
        {{true, "f.SQL", 9},
         "Script generation stopped on an error. Last file written completely: f.SQL\n\n9 file "
         "writes failed; the first failure was reported."},
    };
    for (const auto& [outcome, text] : cases)
        EXPECT_EQ(generationClosingMessage(outcome, ScriptKind::Sql, 0, 0).text.toStdString(), text.toStdString());
}
