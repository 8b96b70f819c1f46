#include "cli/CliConnection.h"

#include "cli/CliOptions.h"
#include "db/RememberedPassword.h"
#include "db/SecretStore.h"
#include "db/Settings.h"

#include <QCoreApplication>

#include <cstdio>

#include <termios.h>
#include <unistd.h>

#include <fcntl.h>

namespace zobran::cli {

namespace {

QString remembered(const SettingKey& key)
{
    return GetSetting(SettingsApplication, SettingsSection, key.readAs);
}

// The terminal's echo, off while the password is typed and back however the reading ends.
class EchoOff {
public:
    explicit EchoOff(int fd) : fd_(fd)
    {
        if (::tcgetattr(fd_, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        on_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (on_)
            ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int fd_;
    termios saved_{};
    bool on_ = false;
};

// The remembered password: the settings file's, or the one the desktop's secret store keeps. The
// store answers from this thread's event loop, which runs until it has (it is the program's top
// level: nothing else runs meanwhile).
QString rememberedPassword()
{
    const QString inFile = remembered(settingkeys::Password);
    SecretStore* store = secretStore();
    if (!inFile.isEmpty() || !store)
        return inFile;
    QString kept;
    store->read(PasswordSecretName, [&kept](SecretStore::Outcome outcome, const QString& secret) {
        if (outcome == SecretStore::Outcome::Done)
            kept = secret;
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return kept;
}

} // namespace

std::optional<QString> askPasswordOnTerminal(const QString& question)
{
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty < 0)
        return std::nullopt;
    const QByteArray asked = question.toUtf8();
    if (::write(tty, asked.constData(), static_cast<std::size_t>(asked.size())) < 0) {
        ::close(tty);
        return std::nullopt;
    }
    QByteArray typed;
    {
        const EchoOff quiet(tty);
        char c = 0;
        while (::read(tty, &c, 1) == 1 && c != '\n')
            typed.append(c);
    }
    const char newline = '\n';
    (void)!::write(tty, &newline, 1);
    ::close(tty);
    if (typed.endsWith('\r'))
        typed.chop(1);
    return QString::fromUtf8(typed);
}

ConnectionValues connectionValues(const ParsedOptions& options, bool needsDatabase, const PasswordPrompt& prompt)
{
    ConnectionValues values;
    values.server = options.value(QStringLiteral("server"), remembered(settingkeys::Server));
    const QString rememberedLogin = remembered(settingkeys::Login);
    values.login = options.value(QStringLiteral("login"), rememberedLogin);
    values.database = options.value(QStringLiteral("database"), remembered(settingkeys::Database));
    if (values.server.isEmpty())
        throw UsageError(QStringLiteral("no server: give --server or connect once in a window"));
    if (values.login.isEmpty())
        throw UsageError(QStringLiteral("no login: give --login or connect once in a window"));
    if (needsDatabase && values.database.isEmpty())
        throw UsageError(QStringLiteral("no database: give --database"));

    if (qEnvironmentVariableIsSet("ZOBRAN_PASSWORD")) {
        values.password = qEnvironmentVariable("ZOBRAN_PASSWORD");
        return values;
    }
    if (values.login == rememberedLogin) {
        const QString password = rememberedPassword();
        if (!password.isEmpty()) {
            values.password = password;
            return values;
        }
    }
    const std::optional<QString> typed
        = prompt ? prompt(QStringLiteral("Password for %1 on %2: ").arg(values.login, values.server)) : std::nullopt;
    if (!typed)
        throw UsageError(QStringLiteral("no password: set ZOBRAN_PASSWORD or run from a terminal"));
    values.password = *typed;
    return values;
}

} // namespace zobran::cli
