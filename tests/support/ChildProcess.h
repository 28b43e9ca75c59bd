#pragma once

#include <QProcess>

#include <csignal>

// A client or tool a test starts; one still running when the test is done is killed with it.
class ChildProcess : public QProcess {
public:
    QString out, err; // what it printed, read by finish()

    ChildProcess(const QString &program, const QStringList &args) { start(program, args); }
    ~ChildProcess() override
    {
        kill();
        waitForFinished(5000);
    }

    // Its first line, trimmed; empty when none came within the timeout.
    QString firstLine(int timeoutMs = 10000)
    {
        while (waitForStarted(5000) && !canReadLine() && waitForReadyRead(timeoutMs)) {
        }
        return QString::fromUtf8(readLine()).trimmed();
    }
    // Waits for its end: the exit status; -1 if it did not start, crashed, was killed or timed out.
    int finish(int timeoutMs = 120000)
    {
        if (state() != NotRunning && !waitForFinished(timeoutMs))
            return -1;
        out += QString::fromUtf8(readAllStandardOutput());
        err += QString::fromUtf8(readAllStandardError());
        return exitStatus() == NormalExit && error() != FailedToStart ? exitCode() : -1;
    }
    void signal(int number)
    {
        if (processId() > 0) // not 0: that would signal the test's own process group
            ::kill(pid_t(processId()), number);
    }
};
