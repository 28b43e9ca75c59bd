#include "WindowManagerSession.h"
#include "X11Windows.h"

#include <QThread>

using namespace Qt::Literals::StringLiterals;

WindowManagerSession::WindowManagerSession()
{
    mServer.start(u"Xvfb"_s, u"-displayfd 1 -screen 0 1280x1024x24 -nolisten tcp"_s.split(u' '));
    if (!mServer.waitForStarted(5000))
        return;
    while (!mServer.canReadLine()) {
        if (!mServer.waitForReadyRead(10000))
            return;
    }
    qputenv("DISPLAY", ':' + mServer.readLine().trimmed());
    mManager.start(u"openbox"_s, {u"--sm-disable"_s});
    if (!mManager.waitForStarted(5000))
        return;
    for (int i = 0; i < 100 && !windowManagerRunning(); ++i)
        QThread::msleep(100);
    mRunning = windowManagerRunning();
}

WindowManagerSession::~WindowManagerSession()
{
    for (QProcess *process : {&mManager, &mServer}) {
        process->terminate();
        if (!process->waitForFinished(3000))
            process->kill();
        process->waitForFinished(3000);
    }
}
