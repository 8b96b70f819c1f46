#include "db/StatementBatcher.h"
#include "db/BatchTraits.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <set>

using namespace zobran;
using namespace zobran::db;

namespace {

// A server in memory: a text holding "fail" is refused, one holding "lost" loses the connection, as
// a text of several statements that holds one of them does. It notes what it was sent ("alone 7",
// "batch 3-9" by the numbers in the statements) and what became of each statement.
class FakeServer : public BatchTarget {
public:
    SendOutcome sendAlone(const BatchedStatement& statement) override
    {
        sent << QStringLiteral("alone %1").arg(statement.line);
        return outcomeOf(statement.text);
    }
    SendOutcome sendBatch(const QString& text) override
    {
        static const QRegularExpression number(QStringLiteral("\\((\\d+)\\)"));
        QStringList lines;
        for (auto it = number.globalMatch(text); it.hasNext();)
            lines << it.next().captured(1);
        sent << (lines.isEmpty() ? QStringLiteral("restore")
                                 : QStringLiteral("batch ") + lines.first() + '-' + lines.last());
        return outcomeOf(text);
    }
    void applied(const BatchedStatement& s) override { fates << QStringLiteral("applied %1").arg(s.line); }
    void failed(const BatchedStatement& s) override { fates << QStringLiteral("failed %1").arg(s.line); }
    void lost(const BatchedStatement& s) override { fates << QStringLiteral("lost %1").arg(s.line); }
    void notRun(const BatchedStatement& s) override { fates << QStringLiteral("not run %1").arg(s.line); }

    static SendOutcome outcomeOf(const QString& text)
    {
        if (text.contains(QStringLiteral("lost")))
            return SendOutcome::ConnectionLost;
        return text.contains(QStringLiteral("fail")) ? SendOutcome::Failed : SendOutcome::Applied;
    }

    QStringList sent;
    QStringList fates;
};

// Statement n (1 up) reads "INSERT INTO t VALUES (n)" on line n, with "fail" in it where asked.
std::vector<BatchedStatement> inserts(int count, const std::set<int>& failing = {})
{
    std::vector<BatchedStatement> statements;
    for (int n = 1; n <= count; ++n)
        statements.push_back({QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                  .arg(failing.count(n) ? QStringLiteral("fail") : QStringLiteral("t"))
                                  .arg(n),
                              n});
    return statements;
}

FakeServer sendAll(const std::vector<BatchedStatement>& statements, BatchSettings settings)
{
    FakeServer server;
    StatementBatcher batcher(server, settings);
    for (const BatchedStatement& statement : statements)
        batcher.add(statement);
    batcher.flush();
    return server;
}

// What sending each statement alone gives.
QStringList oneByOne(const std::vector<BatchedStatement>& statements)
{
    QStringList fates;
    for (const BatchedStatement& s : statements)
        fates << (s.text.contains(QStringLiteral("fail")) ? QStringLiteral("failed %1") : QStringLiteral("applied %1"))
                     .arg(s.line);
    return fates;
}

const BatchSettings StandIn{StatementBatchForm::Implicit, 100};

TEST(StatementBatcher, EveryStatementMeetsTheFateItMeetsAloneWhereverFailuresStand)
{
    const struct {
        const char* where;
        std::set<int> failing;
    } cases[] = {
        {"none", {}},
        {"first and last of the file", {1, 1000}},
        {"at batch edges", {100, 101, 200, 501}},
        {"in the middle of a batch", {350}},
        {"a run of them", {400, 401, 402, 403, 404, 405, 406}},
        {"one in ten", {5, 15, 25, 35, 45, 55, 65, 75, 85, 95, 105, 115, 125}},
    };
    for (const auto& c : cases) {
        const std::vector<BatchedStatement> statements = inserts(1000, c.failing);
        for (const int size : {1, 7, 100}) {
            for (const StatementBatchForm form : {StatementBatchForm::Implicit, StatementBatchForm::Transaction}) {
                const FakeServer server = sendAll(statements, BatchSettings{form, size});
                EXPECT_EQ(server.fates, oneByOne(statements)) << c.where << ", batches of " << size;
                for (const int n : c.failing)
                    EXPECT_TRUE(server.sent.contains(QStringLiteral("alone %1").arg(n))) << c.where << ": " << n;
            }
        }
    }
}

TEST(StatementBatcher, SendsAsFewTextsAsTheSizeAllowsAndEachStatementAloneWithSizeOne)
{
    EXPECT_EQ(sendAll(inserts(1000), StandIn).sent.size(), 10);
    EXPECT_EQ(sendAll(inserts(1000), BatchSettings{StatementBatchForm::Implicit, 1}).sent.size(), 1000);
    EXPECT_EQ(sendAll(inserts(1000), BatchSettings{StatementBatchForm::None, 100}).sent.size(), 1000);
    // No more text than allowed: two statements of 24 characters do not fit in 40.
    EXPECT_EQ(sendAll(inserts(10), BatchSettings{StatementBatchForm::Implicit, 100, 40}).sent,
              QStringList({"alone 1", "alone 2", "alone 3", "alone 4", "alone 5", "alone 6", "alone 7", "alone 8",
                           "alone 9", "alone 10"}));
    EXPECT_EQ(sendAll(inserts(10), BatchSettings{StatementBatchForm::Implicit, 100, 60}).sent,
              QStringList({"batch 1-2", "batch 3-4", "batch 5-6", "batch 7-8", "batch 9-10"}));
    // After a batch with a failure the next ones are smaller, and grow again.
    EXPECT_EQ(sendAll(inserts(30, {3}), BatchSettings{StatementBatchForm::Implicit, 8}).sent,
              QStringList({"batch 1-8", "batch 1-4", "batch 1-2", "batch 3-4", "alone 3", "alone 4", "batch 5-8",
                           "batch 9-12", "batch 13-18", "batch 19-26", "batch 27-30"}));
}

TEST(StatementBatcher, OnSqlServerAFailedBatchIsRolledBackBeforeItsHalvesRun)
{
    const FakeServer server = sendAll(inserts(4, {4}), BatchSettings{StatementBatchForm::Transaction, 4});
    EXPECT_EQ(server.sent,
              QStringList({"batch 1-4", "restore", "batch 1-2", "batch 3-4", "restore", "alone 3", "alone 4"}));
}

TEST(StatementBatcher, StatementsThatMayNotJoinGoAloneInTheirPlace)
{
    std::vector<BatchedStatement> statements = inserts(6);
    statements[2].text = QStringLiteral("CREATE TABLE u (a int) -- (3)");
    EXPECT_EQ(sendAll(statements, StandIn).sent, QStringList({"batch 1-2", "alone 3", "batch 4-6"}));
    // After one that may open a transaction, nothing is joined any more.
    statements[2].text = QStringLiteral("BEGIN TRANSACTION -- (3)");
    EXPECT_EQ(sendAll(statements, StandIn).sent,
              QStringList({"batch 1-2", "alone 3", "alone 4", "alone 5", "alone 6"}));
}

TEST(StatementBatcher, ALostConnectionEndsEverything)
{
    std::vector<BatchedStatement> statements = inserts(8);
    statements[5].text = QStringLiteral("INSERT INTO lost VALUES (6)");
    // The batch of 5 to 8 met the loss: none of it was applied, 5 met it, the rest never ran.
    FakeServer server;
    StatementBatcher batcher(server, BatchSettings{StatementBatchForm::Implicit, 4});
    for (const BatchedStatement& statement : statements)
        batcher.add(statement);
    batcher.flush();
    batcher.add(BatchedStatement{QStringLiteral("INSERT INTO t VALUES (9)"), 9});
    EXPECT_TRUE(batcher.connectionLost());
    EXPECT_EQ(server.fates,
              QStringList({"applied 1", "applied 2", "applied 3", "applied 4", "lost 5", "not run 6", "not run 7",
                           "not run 8", "not run 9"}));
    EXPECT_EQ(server.sent, QStringList({"batch 1-4", "batch 5-8"}));
}

TEST(StatementBatcher, BatchTextsPerServer)
{
    const std::vector<BatchedStatement> two{{QStringLiteral("INSERT INTO t VALUES (1) -- one"), 1},
                                            {QStringLiteral("DELETE FROM t"), 2}};
    EXPECT_EQ(StatementBatcher::batchText(StatementBatchForm::Implicit, two, 0, 2),
              "INSERT INTO t VALUES (1) -- one\n;DELETE FROM t\n;");
    EXPECT_EQ(StatementBatcher::batchText(StatementBatchForm::Transaction, two, 0, 2),
              "SET XACT_ABORT ON;\nBEGIN TRANSACTION;\n"
              "INSERT INTO t VALUES (1) -- one\nIF @@ERROR <> 0 RETURN;\n"
              "DELETE FROM t\nIF @@ERROR <> 0 RETURN;\n"
              "COMMIT TRANSACTION;\nSET XACT_ABORT OFF;");
    EXPECT_EQ(StatementBatcher::restoreText(StatementBatchForm::Transaction),
              "IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION;\nSET XACT_ABORT OFF;");
    EXPECT_TRUE(StatementBatcher::restoreText(StatementBatchForm::Implicit).isEmpty());
}

TEST(BatchTraits, WhatMayJoinABatchAndWhatEndsTheBatches)
{
    const struct {
        QString statement;
        bool joinable;
        bool keepsBatching;
    } cases[] = {
        {"INSERT INTO t (a,b) VALUES(1,N'it''s')", true, true},
        {"  /* note */ insert into t values ('a;b', \"c\", [d]]e]) ; -- done", true, true},
        {"INSERT INTO t VALUES ('two\nlines;')", true, true},
        {"UPDATE t SET a = 1 WHERE b IN (SELECT b FROM u)", true, true},
        {"DELETE FROM t WHERE a = 'COMMIT'", true, true},
        {"INSERT INTO t VALUES ('open", false, false},
        {"INSERT INTO t VALUES (1) /* open /* nested */", false, false},
        {"INSERT INTO t VALUES ([open)", false, false},
        {"INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)", false, false},
        {"INSERT INTO t VALUES (1) COMMIT", false, false},
        {"INSERT INTO t VALUES (1)\nBEGIN TRAN", false, false},
        {"INSERT INTO t EXEC p", false, false},
        {"UPDATE t SET a = 1 SET XACT_ABORT OFF", false, false},
        {"INSERT INTO t VALUES ($$a'b$$)", false, false},
        {"INSERT INTO t VALUES (@a)", false, true},
        {QStringLiteral("INSERT INTO t VALUES ('a") + QChar(u'\0') + "')", false, true},
        {"SELECT * FROM t", false, true},
        {"CREATE TABLE u (a int)", false, true},
        {"DROP TABLE IF EXISTS u", false, true},
        {"SET IDENTITY_INSERT t ON", false, true},
        {"  -- nothing but a comment", false, true},
        {"BEGIN TRANSACTION", false, false},
        {"SET XACT_ABORT ON", false, false},
        {"EXEC p", false, false},
        {"COMMIT", false, false},
    };
    for (const auto& c : cases) {
        const BatchTraits traits = batchTraitsOf(c.statement);
        EXPECT_EQ(traits.joinable, c.joinable) << c.statement.toStdString();
        EXPECT_EQ(traits.keepsBatching, c.keepsBatching) << c.statement.toStdString();
    }
}

} // namespace
