#pragma once

#include "basics/AppPath.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace zobran::test {

// A name no other test process uses: prefix_<process id>_suffix.
inline QString uniqueName(const QString& prefix, const QString& suffix)
{
    return prefix + QLatin1Char('_') + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('_') + suffix;
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A program folder of the test's own (AppPath points at it) with a stand-in for the script tool:
// an OSQL shell script that writes how it was called to osql-calls.log and ends with status 0, or 1
// when its script's path holds "fail", or 2 (its connection was lost) when it holds "lost". Each
// call is logged as
//   begin <script path> / arg[<each argument>] / batch[<TmExe.bat as it was then>] / end <script path>
// with a short pause between begin and end, so that a run that does not wait shows.
class StandInProgramFolder {
public:
    StandInProgramFolder()
    {
        AppPath() = folder.path();
        writeStandIn();
    }

    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QString batchFile() const { return path(QStringLiteral("TmExe.bat")); }

    void writeStandIn()
    {
        writeBytes(path(QStringLiteral("OSQL")), R"SH(#!/bin/sh
here=$(dirname "$0")
log="$here/osql-calls.log"
script=""
previous=""
for a in "$@"; do
    if [ "$previous" = "-i" ]; then script=$a; fi
    previous=$a
done
echo "begin $script" >>"$log"
for a in "$@"; do printf 'arg[%s]\n' "$a" >>"$log"; done
echo "stand-in ran $script"
sleep 0.2
case "$script" in *slow*) sleep 30 ;; esac
printf 'batch[%s]\n' "$(cat "$here/TmExe.bat")" >>"$log"
echo "end $script" >>"$log"
case "$script" in
    *fail*) echo "Msg 208, Level 16: Invalid object name 'nowhere'."; exit 1 ;;
    *lost*) echo "OSQL: the connection was lost at the statement starting at line 1"; exit 2 ;;
esac
exit 0
)SH");
        QFile::setPermissions(path(QStringLiteral("OSQL")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // The calls logged so far, line by line.
    QStringList calls() const
    {
        QString text = QString::fromUtf8(readBytes(path(QStringLiteral("osql-calls.log"))));
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }

    // The arguments of every call, one list per call.
    std::vector<QStringList> callArguments() const
    {
        std::vector<QStringList> result;
        for (const QString& line : calls()) {
            if (line.startsWith(QStringLiteral("begin ")))
                result.emplace_back();
            else if (line.startsWith(QStringLiteral("arg[")) && !result.empty())
                result.back() << line.mid(4, line.size() - 5);
        }
        return result;
    }

    QTemporaryDir folder;
};

} // namespace zobran::test
