#include "import/OsqlCommandLine.h"

#include <gtest/gtest.h>

using namespace zobran;

TEST(OsqlCommandLine, OrdinaryValuesStandVerbatimInTheOrderOfTheSwitches)
{
    const OsqlArguments a{"sa", "secret", "SRV1", "SHOP", "/home/pos/Export/SQL-20091207-101010-1.SQL"};
    EXPECT_EQ(osqlCommandLine(a), "OSQL -U sa -P secret -S SRV1 -d SHOP -i /home/pos/Export/SQL-20091207-101010-1.SQL");
    // Every character a plain word may hold.
    EXPECT_EQ(shellWord("aZ09_./:@%+=,-"), "aZ09_./:@%+=,-");
}

TEST(OsqlCommandLine, AnEmptyPasswordIsAnArgumentOfItsOwn)
{
    const OsqlArguments a{"sa", "", "SRV1", "SHOP", "/tmp/a.sql"};
    EXPECT_EQ(osqlCommandLine(a), "OSQL -U sa -P '' -S SRV1 -d SHOP -i /tmp/a.sql");
}

TEST(OsqlCommandLine, ValuesWithBlanksOrShellCharactersAreSingleQuoted)
{
    EXPECT_EQ(shellWord("my scripts/a b.sql"), "'my scripts/a b.sql'");
    EXPECT_EQ(shellWord("pa$s`w\"d&;|<>*?~#!(){}[]\\"), "'pa$s`w\"d&;|<>*?~#!(){}[]\\'");
    EXPECT_EQ(shellWord("it's"), "'it'\\''s'");
    EXPECT_EQ(shellWord("é"), "'é'");
    EXPECT_EQ(shellWord("a\tb"), "'a\tb'");
    const OsqlArguments a{"sa", "p w", "SRV1\\SQLEXPRESS", "SHOP", "/a b/c.sql"};
    EXPECT_EQ(osqlCommandLine(a), "OSQL -U sa -P 'p w' -S 'SRV1\\SQLEXPRESS' -d SHOP -i '/a b/c.sql'");
}

TEST(OsqlCommandLine, FilePathsJoinWithoutDoublingTheRootsSeparator)
{
    EXPECT_EQ(filePathIn("/", "a.sql"), "/a.sql");
    EXPECT_EQ(filePathIn("/home/pos", "a.sql"), "/home/pos/a.sql");
}

TEST(OsqlCommandLine, TheKindIsTheLastThreeCharactersInUpperCase)
{
    EXPECT_EQ(scriptKindOf("/x/a.Sql"), "SQL");
    EXPECT_EQ(scriptKindOf("/x/b.kx"), ".KX");
    EXPECT_EQ(scriptKindOf("/x/c.txt"), "TXT");
    EXPECT_EQ(scriptKindOf("kx"), "KX");
    EXPECT_EQ(scriptKindOf("a.kx "), "KX");
}
