// A HELIX client for the service tests: registers on a given object and behaves, when the
// display asks it to stop tracing, as its mode says.
//   helix_test_client MODE OBJECT TITLE LOGFILE
//   normal    logs its title and exits
//   hang      logs its title, then does not answer for longer than the display waits
//   callback  unhooks and prints a note from inside the call, logs the outcome, exits
//   vanish    exits right after registering
//   create    creates an object of its own (OBJECT is ignored), prints its path, exits
//   soak      (LOGFILE is a count) prints that many notes "line 1", "line 2", ..., writing
//             the number of each one the display has taken to stdout, then exits
//   timed     (OBJECT is ignored, LOGFILE is a list like "20,-1,300/7") creates an object of
//             its own and sends one request per item, answered that many milliseconds later
//             with RC=0 (or the code after "/"), or never for a negative delay; then exits
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
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: helix_test_client MODE OBJECT TITLE LOGFILE\n");
        return 2;
    }
    const QString mode = args[1], title = args[3];
    const auto log = [&](const QString &line) {
        QFile file(args[4]);
        if (file.open(QIODevice::Append))
            file.write((line + u'\n').toUtf8());
    };
    HelixDebug::Message message;
    if (mode == u"create"_s || mode == u"timed"_s) {
        if (message.create().isValid())
            return 1;
    } else {
        message.attach(QDBusObjectPath(args[2]));
    }
    const auto onShutDown = [&] {
        if (mode == u"callback"_s) {
            const QDBusError unhook = message.UnHook(title);
            const QDBusError note = message.PrintText(title, u"bye"_s);
            log(u"%1 unhook=%2 note=%3"_s.arg(title, unhook.isValid() ? unhook.name() : u"ok"_s,
                                              note.isValid() ? note.name() : u"ok"_s));
        } else {
            log(title);
        }
        if (mode == u"hang"_s)
            QThread::sleep(6);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    };
    if (const QDBusError error = message.Initialize(title, onShutDown); error.isValid()) {
        std::printf("error %s\n", qPrintable(error.name()));
        return 1;
    }
    std::printf("%s\n", mode == u"create"_s ? qPrintable(message.path().path()) : "ready");
    std::fflush(stdout);
    if (mode == u"soak"_s) {
        const int count = args[4].toInt();
        for (int k = 1; k <= count; ++k) {
            if (message.PrintText(title, u"line %1"_s.arg(k)).isValid())
                return 1;
            std::printf("%d\n", k);
            std::fflush(stdout);
            QThread::msleep(2);
        }
        std::_Exit(0);
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
    if (mode == u"vanish"_s || mode == u"create"_s || mode == u"timed"_s)
        std::_Exit(0); // leave the bus without a goodbye, as a crashed client would
    return QCoreApplication::exec();
}
