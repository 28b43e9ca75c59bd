// Plays realistic HELIX traffic into a display window in this process.
#include "ClassPreferences.h"
#include "DemoTraffic.h"
#include "DisplayGrid.h"
#include "frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

namespace {

void play(frmMain &window, const TraceCall &call)
{
    switch (call.kind) {
    case TraceCall::Send:
        window.FormatSendBuffer(call.appName, call.request, call.buffer);
        break;
    case TraceCall::Receive:
        window.FormatReceiveBuffer(call.buffer);
        break;
    case TraceCall::Text:
        window.FormatText(call.appName, call.text);
        break;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays HELIX traffic into the display."));
    parser.addHelpOption();
    QCommandLineOption callsOption(QStringLiteral("calls"),
                                   QStringLiteral("Number of realistic calls after the showcase."),
                                   QStringLiteral("n"), QStringLiteral("2000"));
    parser.addOption(callsOption);
    parser.process(app);
    const int calls = parser.value(callsOption).toInt();

    Preferences().setDisplayHeader(true);
    frmMain window;
    window.resize(1000, 640);
    window.show();

    DemoTraffic traffic(7);
    int played = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (int i = 0; i < 200 && played < calls; ++i, ++played)
            play(window, traffic.next(played % 3 != 0));
        if (played >= calls) {
            timer.stop();
            for (const TraceCall &call : DemoTraffic::showcase())
                play(window, call);
        }
    });
    timer.start(10);
    return QApplication::exec();
}
