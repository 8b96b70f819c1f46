#include "MgenTestSupport.h"
#include "support/TestServer.h"

#include <QListWidget>
#include <QTableView>

using namespace zobran;
using namespace zobran::test;

namespace {

// Scripts of both kinds loaded back into the test server. Every table is named after this process,
// so tests running side by side never share one.
class ExactScriptTest : public MgenWindowTest {
protected:
    static QString own(const QString& stem)
    {
        return stem + QStringLiteral("_%1").arg(QCoreApplication::applicationPid());
    }

    // Generates the listed query into target in one kind and returns the file's bytes.
    QByteArray generate(const QString& sql, const QString& target, int kindAnswer)
    {
        QString written;
        withWindow([&](MgenWindow& w) {
            addQuery(w, sql, target);
            scripted.answerYesNo(kindAnswer);
            click(cBut(w, MgenWindow::GenerateScriptButton));
            written = w.lastScriptFile();
        });
        EXPECT_FALSE(written.isEmpty());
        return written.isEmpty() ? QByteArray() : readAll(written);
    }

    static QStringList statementsOf(const QByteArray& bytes, int kindAnswer, const QString& target)
    {
        return kindAnswer == answer::Yes ? sqlStatements(bytes, target) : kxStatements(bytes);
    }

    void run(const QStringList& statements)
    {
        for (const QString& statement : statements)
            setup().execute(statement);
    }

    // Rows of a and b without an equal partner in the other, among the rows `where` selects.
    long differingRows(const QString& a, const QString& b, const QString& where = "true")
    {
        db::ResultSet diff;
        diff.open(
            QStringLiteral("select count(*) from ((select * from %1 where %3 except all select * from %2 where %3) "
                           "union all (select * from %2 where %3 except all select * from %1 where %3)) d")
                .arg(a, b, where),
            setup());
        return std::stol(std::string(diff.value(0)));
    }

    std::string single(const QString& sql)
    {
        db::ResultSet set;
        set.open(sql, setup());
        return set.isNull(0) ? std::string("<null>") : std::string(set.value(0));
    }
};

} // namespace

TEST_F(ExactScriptTest, EveryTypeComesBackWithItsFractionsNullsAndNationalText)
{
    const QString source = own("ex_types");
    const QString copy = own("ex_types_copy");
    setup().execute("drop table if exists " + source + "; drop table if exists " + copy);
    setup().execute("create table " + source
                    + " (id integer, small smallint, big bigint, amount numeric(18,4), "
                      "ratio double precision, single real, flag boolean, stamp timestamp, stamp_ms timestamp(3), "
                      "stamp_s timestamp(0), day date, clock time, code char(6), name varchar(200), note text, "
                      "price money, guid uuid)");
    setup().execute("create table " + copy + " (like " + source + ")");
    setup().execute(
        "insert into " + source
        + " values "
          "(1, 7, 9000000000, 1234.5678, 0.1, 0.3, true, '2009-12-07 15:04:05.123456', "
          "'2009-12-07 15:04:05.120', '2009-12-07 23:59:59', '2026-02-01', '15:04:05.5', 'c1', "
          "'\u0E20\u0E32\u0E29\u0E32\u0E44\u0E17\u0E22', '\U0001F600 it''s \u4E4C\u9F99\u8336', 1234567.89, "
          "'6f9619ff-8b86-d011-b42d-00c04fc964ff'), "
          "(2, null, null, null, null, null, null, null, null, null, null, null, null, null, null, null, null), "
          "(3, -7, -9000000000, -0.0001, -2.5e-07, 1e+20, false, '0099-01-02 01:02:03.5', "
          "'2009-12-07 00:00:00.001', '1999-12-31 00:00:00', '1900-01-01', '00:00:00', 'x y', "
          "'  trailing  ', '', -3.5, '00000000-0000-0000-0000-000000000000')");

    for (const int kind : {answer::Yes, answer::No}) {
        const QByteArray bytes = generate("Select * From " + source + " Order By id", copy, kind);
        const QString text = QString::fromUtf8(bytes);
        // Fractions as the columns declare them, in the form every server language reads alike.
        EXPECT_TRUE(text.contains("'2009-12-07T15:04:05.123456','2009-12-07T15:04:05.12','2009-12-07T23:59:59'"))
            << text.toStdString();
        EXPECT_TRUE(text.contains("N'\u0E20\u0E32\u0E29\u0E32\u0E44\u0E17\u0E22'"));
        EXPECT_TRUE(text.contains("'1234567.89'")) << "money as a plain number";
        EXPECT_TRUE(text.contains("VALUES(2,0,0,0,0,0,0,NULL,NULL,NULL,NULL,NULL,'','','',0,NULL)"))
            << text.toStdString();

        const QStringList statements = statementsOf(bytes, kind, copy);
        ASSERT_EQ(statements.size(), 3) << kind;
        setup().execute("delete from " + copy);
        run(statements);
        EXPECT_EQ(differingRows(source, copy, "id <> 2"), 0) << kind;
        // The NULL row: stand-ins where the rules write them, NULL everywhere else.
        EXPECT_EQ(single("select concat_ws('|', small, big, amount, ratio, single, flag, price::numeric, "
                         "'[' || code || ']', '[' || name || ']', '[' || note || ']') from "
                         + copy + " where id = 2"),
                  "0|0|0.0000|0|0|f|0.00|[      ]|[]|[]");
        EXPECT_EQ(single("select count(*) from " + copy
                         + " where id = 2 and stamp is null and stamp_ms is null and "
                           "stamp_s is null and day is null and clock is null and guid is null"),
                  "1");
    }
    setup().execute("drop table " + source + "; drop table " + copy);
}

TEST_F(ExactScriptTest, IrregularNamesAreQuotedAndAHostileTableNameRunsNothing)
{
    const QString pwned = own("pwned");
    const QString hostile = "q';create table " + pwned + "(i int);--";
    const QString quoted = "\"" + hostile + "\"";
    const QString snapshot = own("ex_names_snap");
    setup().execute("drop table if exists " + quoted + "; drop table if exists " + snapshot + "; drop table if exists "
                    + pwned);
    setup().execute("create table " + quoted
                    + " (id integer, \"order\" integer, \"my col\" text, \"it's\" varchar(20), "
                      "\"[br]\" integer, \"\u00F1ame\" text)");
    setup().execute("insert into " + quoted
                    + " values (1, 10, 'a b', 'it''s', 5, '\u00F1'), "
                      "(2, null, null, null, null, null)");
    setup().execute("create table " + snapshot + " as select * from " + quoted);
    const auto pwnedExists = [&] { return single("select to_regclass('" + pwned + "') is not null") == "1"; };

    QStringList files;
    withWindow([&](MgenWindow& w) {
        click(cBut(w, MgenWindow::ConnectButton));
        pickTable(w, hostile, false);
        QStringList fields;
        auto* list = child<QListWidget>(w, "LField");
        for (int i = 0; i < list->count(); ++i)
            fields << list->item(i)->text();
        fields.sort();
        EXPECT_EQ(fields, (QStringList{"[br]", "id", "it's", "my col", "order", "\u00F1ame"}));
        EXPECT_FALSE(pwnedExists()) << "the table name went into the field query as a literal";

        pickTable(w, hostile, true);
        EXPECT_EQ(child<QPlainTextEdit>(w, "SQLField")->toPlainText(), "Select * From " + quoted);
        EXPECT_EQ(child<QLineEdit>(w, "TblName")->text(), quoted);
        EXPECT_EQ(w.findChild<QTableView*>("DGrid")->model()->rowCount(), 2) << "the quoted name runs";
        click(cBut(w, MgenWindow::AddQueryButton));
        for (const int kind : {answer::Yes, answer::No}) {
            scripted.answerYesNo(kind);
            click(cBut(w, MgenWindow::GenerateScriptButton));
            files << w.lastScriptFile();
        }
    });
    EXPECT_EQ(scripted.modals().size(), 1u) << "no error window";
    ASSERT_EQ(files.size(), 2);

    const QString head = "INSERT INTO " + quoted + " (id,\"order\",\"my col\",\"it's\",\"[br]\",\"\u00F1ame\") VALUES(";
    for (int k = 0; k < 2; ++k) {
        const QByteArray bytes = readAll(files[k]);
        const QStringList statements = statementsOf(bytes, k == 0 ? answer::Yes : answer::No, quoted);
        ASSERT_EQ(statements.size(), 2) << bytes.toStdString();
        EXPECT_TRUE(statements[0].startsWith(head)) << statements[0].toStdString();
        setup().execute("delete from " + quoted);
        run(statements);
        EXPECT_EQ(differingRows(quoted, snapshot, "id = 1"), 0) << k;
        EXPECT_EQ(single("select count(*) from " + quoted), "2");
    }
    EXPECT_FALSE(pwnedExists());
    setup().execute("drop table " + quoted + "; drop table " + snapshot);
}
