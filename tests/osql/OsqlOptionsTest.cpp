#include "osql/OsqlOptions.h"

#include <gtest/gtest.h>

using namespace zobran::osql;

namespace {

TEST(OsqlOptions, TakesEachSwitchesNextArgumentVerbatim)
{
    const OsqlOptions options = parseCommandLine(
        {"-U", "sa", "-P", "", "-S", "host\\inst", "-d", "shop 01", "-i", "/tmp/my scripts/a b.sql"});
    EXPECT_EQ(options.login, "sa");
    EXPECT_EQ(options.password, "");
    EXPECT_EQ(options.server, "host\\inst");
    EXPECT_EQ(options.database, "shop 01");
    EXPECT_EQ(options.inputFile, "/tmp/my scripts/a b.sql");
    EXPECT_FALSE(options.showUsage);

    // A value that looks like a switch is still the value.
    EXPECT_EQ(parseCommandLine({"-P", "-d", "-i", "x.sql"}).password, "-d");
    EXPECT_TRUE(parseCommandLine({"-?"}).showUsage);
}

TEST(OsqlOptions, RefusesWhatItCannotFollow)
{
    for (const QStringList& args :
         {QStringList{"-U", "sa", "-i"}, QStringList{"-E", "-i", "a.sql"}, QStringList{"-D", "x", "-i", "a.sql"},
          QStringList{"-i", "my", "file.sql"}, QStringList{"-U", "sa"}, QStringList{}})
        EXPECT_THROW(parseCommandLine(args), UsageError) << args.join(' ').toStdString();
}

TEST(OsqlOptions, FindsEveryPasswordValueTheParserWouldTake)
{
    const std::vector<std::pair<QStringList, std::vector<qsizetype>>> cases{
        {{"-U", "sa", "-P", "secret", "-S", "s", "-d", "d", "-i", "a.sql"}, {3}},
        {{"-P", "one", "-P", "two", "-i", "a.sql"}, {1, 3}},
        {{"-U", "-P", "-P", "-i", "-i", "a.sql"}, {3}}, // a value that looks like a switch is a value
        {{"-?", "-P", ""}, {2}},
        {{"-P"}, {}},
        {{"-X", "stray", "-P", "secret"}, {3}}, // also where the parser refuses the command line
    };
    for (const auto& [args, positions] : cases)
        EXPECT_EQ(passwordArguments(args), positions) << args.join(' ').toStdString();
}

} // namespace
