// Runs the real quelvane-roll and collects its exit status and both streams.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>

namespace quelvane::testing {

struct RollRun {
    int status = -1; // -1: did not finish normally
    QByteArray out;
    QByteArray err;
};

inline RollRun RunRollProcess(const QStringList &args, const QString &stdoutFile = {},
                              const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(QStringLiteral(QUELVANE_ROLL_BIN), args);
    RollRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace quelvane::testing
