#pragma once

#include "basics/StopSource.h"
#include "db/ServerInfo.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

namespace zobran::db {

class OdbcHandle;

constexpr int CursorLocationServer = 2;
constexpr int CursorLocationClient = 3;

// A database connection in the manner the windows use it: created closed, opened with a
// connection string, used for statements and result sets, closed on unload. Destroying it closes it.
class Connection {
public:
    Connection();
    ~Connection() noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The connection string carries the credentials; user and password, when given, are added to it.
    void open(const QString& connectionString, const QString& user = {}, const QString& password = {});
    bool isOpen() const noexcept { return open_; }

    // What the driver reported of the server when the connection opened.
    const ServerInfo& serverInfo() const noexcept { return serverInfo_; }

    void setCursorLocation(int location) { cursorLocation_ = location; }
    int cursorLocation() const noexcept { return cursorLocation_; }

    // Runs one statement whose rows, if any, nobody reads. Returns the records affected (-1 when the
    // driver does not know). Raises 3704 when the connection is closed.
    long execute(const QString& statement, long* recordsAffected = nullptr);

    // Raises 3704 when already closed.
    void close();

    // Expires when the connection closes or goes, so result sets never reach a dead connection.
    std::weak_ptr<void> aliveToken() const { return alive_; }

    // A run that uses the connection, from the thread it works on: while the use lasts, a stop of
    // the run cancels the statement the connection has in flight. One run at a time: a second use
    // raises, for the connection is still busy (a run that was stopped has not ended yet).
    class RunUse {
    public:
        RunUse(Connection& connection, const StopSource& stop);
        ~RunUse();
        RunUse(const RunUse&) = delete;
        RunUse& operator=(const RunUse&) = delete;

    private:
        Connection& connection_;
    };
    bool inUse() const noexcept { return inUse_.load(); }
    // The stop of the run using the connection; none outside a run.
    std::optional<StopSource> runStop() const;

private:
    friend class Statement;
    friend struct ConnectionInternals;
    // A new statement handle on the open connection (3704 when closed).
    OdbcHandle newStatement();

    std::unique_ptr<OdbcHandle> dbc_;
    bool open_ = false;
    std::shared_ptr<char> alive_;
    int cursorLocation_ = CursorLocationServer;
    ServerInfo serverInfo_;
    std::atomic<bool> inUse_{false};
    mutable std::mutex runMutex_;
    std::optional<StopSource> runStop_;
};

} // namespace zobran::db
