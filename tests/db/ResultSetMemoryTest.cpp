#include "basics/AppError.h"
#include "db/ResultSet.h"
#include "db/ResultSetModel.h"
#include "db/RowSort.h"
#include "db/RowSpool.h"

#include <sql.h>
#include <sqlext.h>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::db;

namespace {

ResultSet sample()
{
    return ResultSet::fromRows(
        {{"id", SQL_INTEGER}, {"name", SQL_WVARCHAR}, {"price", SQL_NUMERIC}},
        {{"3", "beta", "10.5"}, {"1", "Alpha", std::nullopt}, {"10", "alpha", "2"}, {"2", std::nullopt, "10.50"}});
}

std::vector<std::string> column(const ResultSet& set, int field)
{
    std::vector<std::string> values;
    for (std::size_t r = 0; r < static_cast<std::size_t>(set.recordCount()); ++r)
        values.push_back(set.isNullAt(r, field) ? "<null>" : std::string(set.valueAt(r, field)));
    return values;
}

long errorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const AppError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(ResultSetInMemory, ReadsForwardFromTheFirstRow)
{
    ResultSet set = sample();
    EXPECT_EQ(set.recordCount(), 4);
    EXPECT_EQ(set.fieldCount(), 3);
    EXPECT_EQ(set.field(1).name, "name");
    std::vector<std::string> ids;
    for (; !set.eof(); set.moveNext())
        ids.emplace_back(set.value(0));
    EXPECT_EQ(ids, (std::vector<std::string>{"3", "1", "10", "2"}));
    EXPECT_EQ(errorNumberOf([&] { set.moveNext(); }), 3021);
}

TEST(ResultSetInMemory, SortsNumbersByValueTextWithoutCaseAndStaysStable)
{
    ResultSet set = sample();
    set.setSort("id Desc");
    EXPECT_EQ(column(set, 0), (std::vector<std::string>{"10", "3", "2", "1"}));
    set.setSort("id");
    EXPECT_EQ(column(set, 0), (std::vector<std::string>{"1", "2", "3", "10"}));
    // "Alpha" and "alpha" compare equal: they keep their read order both ways.
    set.setSort("NAME");
    EXPECT_EQ(column(set, 1), (std::vector<std::string>{"<null>", "Alpha", "alpha", "beta"}));
    set.setSort("name Desc");
    EXPECT_EQ(column(set, 1), (std::vector<std::string>{"beta", "Alpha", "alpha", "<null>"}));
    // 10.5 and 10.50 are equal numbers: read order kept.
    set.setSort("price");
    EXPECT_EQ(column(set, 2), (std::vector<std::string>{"<null>", "2", "10.5", "10.50"}));
    set.setSort("");
    EXPECT_EQ(column(set, 0), (std::vector<std::string>{"3", "1", "10", "2"}));
}

TEST(ResultSetInMemory, TextsThatShareALongBeginningSortByTheirWholeText)
{
    const std::string common = "ITEM-CODE-SHARED-BEGINNING-";
    ResultSet set = ResultSet::fromRows({{"id", SQL_INTEGER}, {"code", SQL_WVARCHAR}},
                                        {{"1", common + "b"},
                                         {"2", common + "A"},
                                         {"3", common},
                                         {"4", common + "a"},
                                         {"5", std::nullopt},
                                         {"6", "ITEM"},
                                         {"7", common + "B"}});
    set.setSort("code");
    EXPECT_EQ(column(set, 0), (std::vector<std::string>{"5", "6", "3", "2", "4", "1", "7"}));
    set.setSort("code Desc");
    EXPECT_EQ(column(set, 0), (std::vector<std::string>{"1", "7", "2", "4", "3", "6", "5"}));
}

TEST(ResultSetInMemory, SortingMovesToTheFirstRowAndAnUnknownFieldKeepsTheOrder)
{
    ResultSet set = sample();
    set.setSort("id");
    set.moveNext();
    set.setSort("id Desc");
    EXPECT_EQ(set.value(0), "10");
    EXPECT_EQ(errorNumberOf([&] { set.setSort("nosuch Desc"); }), 3265);
    EXPECT_EQ(set.sort(), "id Desc");
    EXPECT_EQ(column(set, 0), (std::vector<std::string>{"10", "3", "2", "1"}));
}

TEST(ResultSetInMemory, ASortIsTheFieldNameAndAscOrDescInAnyCase)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"name", "name", false},      {"name Desc", "name", true}, {"  Name  DESC ", "Name", true},
        {"name asc", "name", false},  {"Desc", "Desc", false},     {"my Desc field", "my Desc field", false},
        {"name  Asc", "name", false},
    };
    for (const auto& [sort, field, descending] : cases) {
        const SortOrder order = parseSortOrder(sort);
        EXPECT_EQ(order.field, field) << sort;
        EXPECT_EQ(order.descending, descending) << sort;
    }
}

TEST(ResultSetInMemory, ReadingAgainWhatWasBuiltInMemoryRaises3219AndKeepsTheRows)
{
    ResultSet set = sample();
    set.setSort("id");
    EXPECT_EQ(errorNumberOf([&] { set.requery(); }), 3219);
    EXPECT_EQ(column(set, 0), (std::vector<std::string>{"1", "2", "3", "10"}));
}

TEST(ResultSetInMemory, AClosedResultSetRaises3704)
{
    ResultSet set = sample();
    set.close();
    EXPECT_EQ(errorNumberOf([&] { set.eof(); }), 3704);
    EXPECT_EQ(errorNumberOf([&] { set.recordCount(); }), 3704);
    EXPECT_EQ(errorNumberOf([&] { set.close(); }), 3704);
    EXPECT_EQ(errorNumberOf([&] { set.requery(); }), 3704);
}

TEST(ResultSetModel, ShowsFieldsAndFollowsSortingAtOnce)
{
    ResultSet set = sample();
    ResultSetModel model;
    model.setResultSet(&set);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "price");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "beta");
    EXPECT_EQ(model.data(model.index(3, 1)).toString(), "");
    set.setSort("id Desc");
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "10");
    model.setResultSet(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}

namespace {

// How the grid aligns a cell, as the view reads it: a flags value or a plain number.
Qt::Alignment alignmentOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<Qt::Alignment>())
        return value.value<Qt::Alignment>();
    return Qt::Alignment(value.toInt());
}

} // namespace

TEST(ResultSetModel, NumbersAreRightAlignedAndTextIsNot)
{
    ResultSet set = ResultSet::fromRows({{"id", SQL_INTEGER},
                                         {"name", SQL_WVARCHAR},
                                         {"price", SQL_NUMERIC},
                                         {"ratio", SQL_DOUBLE},
                                         {"small", SQL_SMALLINT},
                                         {"code", SQL_CHAR},
                                         {"note", SQL_WLONGVARCHAR},
                                         {"stamp", SQL_TYPE_TIMESTAMP}},
                                        {{"1", "a", "2.5", "0.1", "3", "c", "n", "2009-12-07 15:04:05"}});
    ResultSetModel model;
    model.setResultSet(&set);
    for (int column : {0, 2, 3, 4}) {
        const Qt::Alignment alignment = alignmentOf(model.data(model.index(0, column), Qt::TextAlignmentRole));
        EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, Qt::AlignRight) << column;
        EXPECT_EQ(alignment & Qt::AlignVertical_Mask, Qt::AlignVCenter) << column;
    }
    for (int column : {1, 5, 6, 7}) {
        const Qt::Alignment alignment = alignmentOf(model.data(model.index(0, column), Qt::TextAlignmentRole));
        EXPECT_FALSE(alignment.testFlag(Qt::AlignRight)) << column;
    }
    model.setResultSet(nullptr);
}

TEST(RowSpool, GivesBackEveryRowInOrderAcrossItsBuffers)
{
    // Rows of every shape: NULLs, empty texts, values larger than the read buffer, many small rows.
    RowSpool spool(3);
    const auto valueOf = [](std::size_t row, int column) -> std::optional<std::string> {
        if (row % 7 == static_cast<std::size_t>(column))
            return std::nullopt;
        if (row == 5000 && column == 1)
            return std::string(3 << 20, 'L');
        return std::string(row % 13, static_cast<char>('a' + column)) + std::to_string(row);
    };
    const std::size_t rows = 60000;
    FetchedRow row;
    for (std::size_t r = 0; r < rows; ++r) {
        row.clear();
        for (int c = 0; c < 3; ++c) {
            if (const auto value = valueOf(r, c)) {
                row.bytes().append(*value);
                row.endValue();
            } else {
                row.appendNull();
            }
        }
        spool.appendRow(row);
    }
    EXPECT_EQ(spool.rowCount(), rows);
    for (int pass = 0; pass < 2; ++pass) {
        spool.rewind();
        std::size_t r = 0;
        for (; spool.next(); ++r) {
            for (int c = 0; c < 3; ++c) {
                const auto value = valueOf(r, c);
                ASSERT_EQ(spool.isNull(c), !value) << r << ' ' << c;
                if (value) {
                    ASSERT_EQ(spool.value(c), *value) << r << ' ' << c;
                }
            }
        }
        EXPECT_EQ(r, rows) << "pass " << pass;
    }
}

TEST(RowStore, AColumnWhoseChunkOutgrowsItsEndsGoesOverWithoutLosingAValue)
{
    // Chunks allowed only 5000 bytes: the second column outgrows them half-way, the first never.
    RowStore store(2, 5000);
    const auto valueOf = [](std::size_t row, int column) -> std::optional<std::string> {
        if (row % 5 == 3)
            return std::nullopt;
        return std::string(column == 0 ? 1 : (row > 1500 ? 60 : 2), static_cast<char>('a' + row % 26));
    };
    const std::size_t rows = 3000;
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < 2; ++c) {
            if (const auto value = valueOf(r, c))
                store.appendValue(c, *value);
            else
                store.appendNull(c);
        }
        store.finishRow();
    }
    ASSERT_EQ(store.rowCount(), rows);
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < 2; ++c) {
            const auto value = valueOf(r, c);
            ASSERT_EQ(store.isNull(r, c), !value) << r << ' ' << c;
            ASSERT_EQ(store.value(r, c), value.value_or("")) << r << ' ' << c;
        }
    }
}
