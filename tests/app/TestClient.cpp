// A HELIX client for the service tests: registers on a given object and behaves, when the
// display asks it to stop tracing, as its mode says.
//   helix_test_client MODE OBJECT TITLE ARGUMENT
//   normal  logs its title to the file ARGUMENT and exits
//   hang    logs its title, then does not answer for far longer than any caller waits
//   vanish  leaves the bus right after registering
//   soak    prints ARGUMENT notes "line 1", "line 2", ..., then exits
//   timed   (OBJECT is ignored, ARGUMENT is a list like "20,-1,300/7") creates an object of
//           its own and sends one request per item, answered that many milliseconds later
//           with RC=0 (or the code after "/"), or never for a negative delay; then exits
#include "HelixDebugClient.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args[1], title = args[3];
    HelixDebug::Message message;
    if (mode == u"timed"_s) {
        if (message.create().isValid())
            return 1;
    } else {
        message.attach(QDBusObjectPath(args[2]));
    }
    const auto onShutDown = [&] {
        QFile log(args[4]);
        if (log.open(QIODevice::Append))
            log.write((title + u'\n').toUtf8());
        log.close();
        if (mode == u"hang"_s)
            QThread::sleep(60);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    };
    if (const QDBusError error = message.Initialize(title, onShutDown); error.isValid()) {
        std::printf("error %s %s\n", qPrintable(error.name()), qPrintable(error.message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    if (mode == u"soak"_s) {
        for (int k = 1; k <= args[4].toInt(); ++k) {
            if (message.PrintText(title, u"line %1"_s.arg(k)).isValid())
                return 1;
            QThread::msleep(2);
        }
    }
    if (mode == u"timed"_s) {
        for (const QString &item : args[4].split(u',')) {
            const QStringList parts = item.split(u'/');
            const int delay = parts[0].toInt();
            const QString code = parts.size() > 1 ? parts[1] : u"0"_s;
            if (message.PrintSendBuffer(title, u"Get"_s, u"A=1\0"_s).isValid())
                return 1;
            if (delay < 0)
                continue;
            QThread::msleep(std::uint32_t(delay));
            if (message.PrintReceiveBuffer(u"V=1\0RC=%1\0[DATA]\0B=2\0"_s.arg(code)).isValid())
                return 1;
        }
    }
    if (mode == u"soak"_s || mode == u"timed"_s || mode == u"vanish"_s)
        std::_Exit(0); // leave the bus without a goodbye, as a crashed client would
    return QCoreApplication::exec();
}
