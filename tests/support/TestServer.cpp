#include "support/TestServer.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

#include <stdexcept>

namespace zobran::test {

namespace {

const char* const kServerEnv = ZOBRAN_TEST_SERVER_DIR "/server.env";

QHash<QString, QString> readKeyValueLines(QFile& file)
{
    QHash<QString, QString> values;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            values.insert(line.left(eq).trimmed(), line.mid(eq + 1));
    }
    return values;
}

QString required(const QHash<QString, QString>& values, const QString& key)
{
    const QString value = values.value(key);
    if (value.isEmpty())
        throw std::runtime_error(std::string(kServerEnv) + " has no " + key.toStdString()
                                 + "; the database server did not start properly");
    return value;
}

TestServer loadTestServer()
{
    QFile file(QString::fromLocal8Bit(kServerEnv));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error(std::string("the test database server is not running: ") + kServerEnv
                                 + " is missing (run the tests through ctest, which starts it, or "
                                   "tests/fixtures/pgserver.sh start " ZOBRAN_TEST_SERVER_DIR " test)");
    const QHash<QString, QString> values = readKeyValueLines(file);
    TestServer server;
    server.socketDir = required(values, "SOCKET_DIR");
    server.login = required(values, "LOGIN");
    server.password = required(values, "PASSWORD");
    server.databases = required(values, "DATABASES").split(u' ', Qt::SkipEmptyParts);
    return server;
}

} // namespace

const TestServer& testServer()
{
    static const TestServer server = loadTestServer();
    return server;
}

QString testConnectionString(const QString& database)
{
    const TestServer& server = testServer();
    return "Driver={SQL Server};Server=" + server.socketDir + ";Database=" + database
           + ";Uid=" + server.login + ";Pwd=" + server.password;
}

bool isPrivateTestDatabase(const QString& name)
{
    static const QRegularExpression privateName(QStringLiteral("^[a-z]+_[0-9]+_[a-z0-9_]+$"));
    return privateName.match(name).hasMatch();
}

QStringList withoutPrivateTestDatabases(const QStringList& names)
{
    QStringList kept;
    for (const QString& name : names)
        if (!isPrivateTestDatabase(name))
            kept << name;
    return kept;
}

} // namespace zobran::test
