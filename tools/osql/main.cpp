// OSQL: runs a script file against a database, batch after batch.

#include "db/FreeTdsProtocol.h"
#include "osql/OsqlOptions.h"
#include "osql/OsqlProgram.h"

#include <QString>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

#include <pthread.h>

namespace {

// Ctrl+C, or the end of the run that started the tool (terminate): the statement in flight is
// cancelled on the server, not left running there, and the tool ends. The signals are taken by a
// thread of their own, so the cancel runs outside a signal handler.
zobran::StopSource stopOnSignals()
{
    zobran::StopSource stop;
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    std::thread([stop, ending] {
        int received = 0;
        if (sigwait(&ending, &received) == 0)
            stop.requestStop();
    }).detach();
    return stop;
}

} // namespace

int main(int argc, char** argv)
{
    const zobran::StopSource stop = stopOnSignals();
    zobran::db::useSqlServerProtocolWithFreeTds();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Every local user can read a process's arguments (ps, /proc/<pid>/cmdline): the password is
    // overwritten in place before anything else is done, as database clients do.
    for (const qsizetype position : zobran::osql::passwordArguments(args)) {
        char* value = argv[position + 1];
        std::memset(value, 'x', std::strlen(value));
    }
    return zobran::osql::runOsql(args, stdout, stderr, stop);
}
