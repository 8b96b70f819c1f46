#include "db/SharedConnections.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestServer.h"
#include "ui/ConnectDsn.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zobran;

namespace {

// A TCP port on the loopback address: listening (connections are taken and never answered) or,
// once the socket is closed, one where nothing listens.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0 || ::listen(fd_, 4) != 0)
            return;
        port_ = ntohs(address.sin_port);
        if (!listening) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~LoopbackPort()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace

// FreeTDS, as users reach SQL Server, stands registered under a name of its own beside the
// stand-in. A server that cannot be reached fails the connect step within the login time limit
// (15 seconds), with the driver's own message in the error window.
TEST(FreeTdsConnect, AnUnreachableServerFailsWithinTheLoginTimeLimitWithTheDriversMessage)
{
    const test::TestServer& server = test::testServer();
    ASSERT_FALSE(server.freeTdsDriver.isEmpty()) << "FreeTDS (Debian package tdsodbc) is not installed";
    test::ProgramFolder folder;
    test::ScriptedPrompts scripted;
    setPrompts(&scripted);

    const struct {
        const char* name;
        bool listening;
    } cases[] = {
        {"nothing listens", false},
        {"the server takes the connection and never answers", true},
    };
    for (const auto& c : cases) {
        const LoopbackPort port(c.listening);
        ASSERT_NE(port.port(), 0) << c.name;
        ConnParams() = {server.freeTdsDriver, QStringLiteral("127.0.0.1,%1").arg(port.port()), "shop", "sa", "pw"};
        QString code, text;
        scripted.reset();
        scripted.onModal([&](QDialog& window) {
            code = window.findChild<QLabel*>("ErrCode")->text();
            text = window.findChild<QPlainTextEdit*>("ErrTxt")->toPlainText();
        });
        QElapsedTimer clock;
        clock.start();
        ConnectDSN();
        const qint64 seconds = clock.elapsed() / 1000;

        EXPECT_LE(seconds, 15 + 5) << c.name;
        EXPECT_TRUE(text.contains("[FreeTDS]")) << c.name << ": " << text.toStdString();
        EXPECT_FALSE(code.isEmpty()) << c.name;
        ASSERT_TRUE(SharedConnection()) << c.name;
        EXPECT_FALSE(SharedConnection()->isOpen()) << c.name;
        std::cout << c.name << ": " << seconds << " s, " << code.toStdString() << " " << text.toStdString() << "\n";
    }
    SharedConnection().reset();
    setPrompts(nullptr);
}
