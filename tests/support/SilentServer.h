#pragma once

#include <QTemporaryDir>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zobran::test {

// A "server" that takes connections on the socket a client of the stand-in looks for in its folder
// and never answers them (the system holds them in the listening queue): what a server that has
// stopped answering looks like to a client that connects. The folder is the server name to type.
class SilentServer {
public:
    SilentServer()
    {
        const QByteArray path = folder_.filePath(QStringLiteral(".s.PGSQL.5432")).toLocal8Bit();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
            return;
        std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        listening_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && ::listen(fd_, 64) == 0;
    }
    ~SilentServer()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool isListening() const { return listening_; }
    QString serverName() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    int fd_ = -1;
    bool listening_ = false;
};

} // namespace zobran::test
