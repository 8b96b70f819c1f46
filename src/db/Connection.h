#pragma once

#include "db/ServerInfo.h"

#include <QString>

#include <memory>

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

    // A new statement on the open connection (3704 when closed).
    OdbcHandle newStatement();

    // Expires when the connection closes or goes, so result sets never reach a dead connection.
    std::weak_ptr<void> aliveToken() const { return alive_; }

private:
    std::unique_ptr<OdbcHandle> dbc_;
    bool open_ = false;
    std::shared_ptr<char> alive_;
    int cursorLocation_ = CursorLocationServer;
    ServerInfo serverInfo_;
};

} // namespace zobran::db
