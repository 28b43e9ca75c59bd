// A HELIX client for the service tests: registers on a given object and behaves, when the
// display asks it to stop tracing, as its mode says.
//   helix_test_client MODE OBJECT TITLE LOGFILE
//   normal    logs its title and exits
//   hang      logs its title, then does not answer for longer than the display waits
//   callback  unhooks and prints a note from inside the call, logs the outcome, exits
//   vanish    exits right after registering
//   create    creates an object of its own (OBJECT is ignored), prints its path, exits
#include "HelixDebugClient.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

void appendLog(const QString &path, const QString &line)
{
    QFile log(path);
    if (log.open(QIODevice::Append))
        log.write((line + QLatin1Char('\n')).toUtf8());
}

void quitSoon()
{
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: helix_test_client MODE OBJECT TITLE LOGFILE\n");
        return 2;
    }
    const QString mode = args[1];
    const QString title = args[3];
    const QString log = args[4];

    HelixDebug::Message message;
    if (mode == QLatin1String("create")) {
        if (message.create().isValid())
            return 1;
    } else {
        message.attach(QDBusObjectPath(args[2]));
    }

    std::function<void()> onShutDown = [&] {
        appendLog(log, title);
        quitSoon();
    };
    if (mode == QLatin1String("hang")) {
        onShutDown = [&] {
            appendLog(log, title);
            QThread::sleep(6);
            quitSoon();
        };
    } else if (mode == QLatin1String("callback")) {
        onShutDown = [&] {
            const QDBusError unhook = message.UnHook(title);
            const QDBusError note = message.PrintText(title, QStringLiteral("bye"));
            appendLog(log, QStringLiteral("%1 unhook=%2 note=%3")
                               .arg(title, unhook.isValid() ? unhook.name() : QStringLiteral("ok"),
                                    note.isValid() ? note.name() : QStringLiteral("ok")));
            quitSoon();
        };
    }
    if (const QDBusError error = message.Initialize(title, onShutDown); error.isValid()) {
        std::printf("error %s\n", qPrintable(error.name()));
        return 1;
    }
    std::printf("%s\n",
                mode == QLatin1String("create") ? qPrintable(message.path().path()) : "ready");
    std::fflush(stdout);
    if (mode == QLatin1String("vanish") || mode == QLatin1String("create"))
        std::_Exit(0); // leave the bus without a goodbye, as a crashed client would
    return QCoreApplication::exec();
}
