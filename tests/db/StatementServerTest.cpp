#include "db/Statement.h"
#include "basics/RunStopped.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/ResultSet.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

using namespace zobran;
using namespace zobran::db;
using namespace std::chrono_literals;

namespace {

class StatementTest : public ::testing::Test {
protected:
    void SetUp() override { connection.open(test::testConnectionString(test::privateDatabase())); }

    long backendPid()
    {
        std::unique_ptr<ResultSet> set = openStaticResultSet("select pg_backend_pid()", connection);
        return std::stol(std::string(set->value(0)));
    }

    // Asks for a stop after a while, from another thread, as the Stop button does.
    std::thread stopAfter(const StopSource& stop, std::chrono::milliseconds wait)
    {
        return std::thread([stop, wait] {
            std::this_thread::sleep_for(wait);
            stop.requestStop();
        });
    }

    Connection connection;
};

struct Rows : RowSink {
    long count = 0;
    void appendRow(const FetchedRow&) override { ++count; }
};

} // namespace

TEST_F(StatementTest, AStopCancelsTheStatementInFlightAndTheHandleServesTheNextRun)
{
    struct Case {
        const char* what;
        std::function<void(Statement&)> run;
    };
    const std::vector<Case> cases{
        {"execute", [](Statement& s) { s.execute("select pg_sleep(30)"); }},
        {"query",
         [](Statement& s) {
             Rows rows;
             s.query("select g, pg_sleep(case when g = 2 then 30 else 0 end) from generate_series(1, 3) g", rows);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StopSource stop;
        std::thread stopper = stopAfter(stop, 200ms);
        const auto started = std::chrono::steady_clock::now();
        {
            const Connection::RunUse use(connection, stop);
            Statement statement(connection);
            EXPECT_THROW(c.run(statement), RunStopped);
        }
        stopper.join();
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
        // The connection serves the next run at once.
        EXPECT_NO_THROW(connection.execute("select 1"));
    }
}

TEST_F(StatementTest, ATimeLimitEndsALongStatementWithAMessageThatSaysSo)
{
    Statement statement(connection);
    statement.setTimeLimit(1);
    const auto started = std::chrono::steady_clock::now();
    try {
        statement.execute("select pg_sleep(10)");
        ADD_FAILURE() << "the statement ran to its end";
    } catch (const DbError& e) {
        EXPECT_TRUE(
            e.description().startsWith("The statement ran longer than its time limit of 1 seconds and was stopped.\n"))
            << e.description().toStdString();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    statement.setTimeLimit(0);
    EXPECT_NO_THROW(statement.execute("select pg_sleep(1.5)")) << "no limit once it is taken off";
}

TEST_F(StatementTest, AConnectionServesOneRunAtATimeAndAStoppedServerIsLeftToItsRun)
{
    const long pid = backendPid();
    StopSource first;
    std::optional<Connection::RunUse> use(std::in_place, connection, first);
    EXPECT_THROW(Connection::RunUse(connection, StopSource()), AppError) << "busy with the first run";

    // The server process stops answering: the run waits on it however it is stopped, and
    // goes on once the server does.
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGSTOP), 0);
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        try {
            Statement(connection).execute("select 1");
        } catch (const RunStopped&) {
        }
        ended = true;
    });
    std::this_thread::sleep_for(300ms);
    first.requestStop();
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(ended) << "nothing ends a wait on a stopped server but the server";
    ::kill(static_cast<pid_t>(pid), SIGCONT);
    worker.join();
    EXPECT_TRUE(ended);
    use.reset();
    EXPECT_NO_THROW(connection.execute("select 1"));
}
