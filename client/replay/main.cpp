// helixdebug-replay: plays a recording made by helixdebug-record into the display, at the
// recorded pace (scaled by --speed) or as fast as the display answers.
//   helixdebug-replay FILE [--speed N | --fast] [--from T] [--to T]
#include "recording/Recording.h"
#include "replay/Replayer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "helixdebug-replay: %s\n", qPrintable(message));
    return 1;
}

bool seconds(const QString &text, double &value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && value >= 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays a recording of HELIX clients into the HELIX Debug Display."));
    parser.addHelpOption();
    const QCommandLineOption speedOption(
        QStringLiteral("speed"), QStringLiteral("Play n times the recorded pace (default 1)."),
        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption fastOption(QStringLiteral("fast"),
                                        QStringLiteral("Play as fast as the display answers."));
    const QCommandLineOption fromOption(
        QStringLiteral("from"), QStringLiteral("Start printing t seconds into the recording."),
        QStringLiteral("t"), QStringLiteral("0"));
    const QCommandLineOption toOption(QStringLiteral("to"),
                                      QStringLiteral("Stop t seconds into the recording."),
                                      QStringLiteral("t"));
    parser.addOptions({speedOption, fastOption, fromOption, toOption});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A recording made by helixdebug-record."));
    parser.process(app);

    ReplayOptions options;
    options.fast = parser.isSet(fastOption);
    options.progress = ::isatty(STDERR_FILENO);
    bool speedOk = false;
    options.speed = parser.value(speedOption).toDouble(&speedOk);
    if (parser.positionalArguments().size() != 1 || !speedOk || !(options.speed > 0) ||
        (options.fast && parser.isSet(speedOption)) ||
        !seconds(parser.value(fromOption), options.from) ||
        (parser.isSet(toOption) && !seconds(parser.value(toOption), options.to)) ||
        (options.to >= 0 && options.to < options.from)) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    const QString path = parser.positionalArguments().constFirst();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const uchar *mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    if (file.size() > 0 && !mapped)
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), mapped ? file.size() : 0);

    // A first pass finds how much there is to play, and any damage before anything is played.
    RecordingReader check(data);
    RecordedCall call;
    std::int64_t total = 0;
    std::int64_t firstTime = -1;
    std::int64_t lastTime = 0;
    while (check.next(call)) {
        if (!Replayer::plays(call, options))
            continue;
        ++total;
        if (firstTime < 0 && call.time >= options.from * 1e6)
            firstTime = call.time;
        lastTime = call.time;
    }
    const bool damaged = check.failed();
    if (check.state() == RecordingReader::State::NotARecording ||
        check.state() == RecordingReader::State::NewerVersion)
        return fail(QStringLiteral("%1: %2").arg(path, check.problem()));
    if (damaged)
        fail(QStringLiteral("%1: %2; playing the %3 calls before it")
                 .arg(path, check.problem())
                 .arg(total));
    else if (check.state() == RecordingReader::State::CutOff)
        std::fprintf(stderr, "helixdebug-replay: note: %s: %s; playing the %lld calls in it\n",
                     qPrintable(path), qPrintable(check.problem()), static_cast<long long>(total));

    Replayer replayer(data, options, total, std::max<std::int64_t>(firstTime, 0), lastTime);
    int status = damaged ? 1 : 0;
    // Queued: with nothing to play the replayer finishes inside start(), before the event loop
    // runs, and an exit asked for then would be lost.
    QObject::connect(
        &replayer, &Replayer::finished, &app,
        [&](bool reachable) {
            if (!reachable) {
                status = fail(QStringLiteral("cannot reach the display (HELIXDebug.Message)"));
            } else {
                const double seconds = replayer.seconds();
                std::printf(
                    "helixdebug-replay: %lld calls played in %.1f s, %lld answers differ from "
                    "the recording\n",
                    static_cast<long long>(replayer.played()), seconds,
                    static_cast<long long>(replayer.differing()));
            }
            QCoreApplication::exit(status);
        },
        Qt::QueuedConnection);
    replayer.start();
    return QCoreApplication::exec();
}
