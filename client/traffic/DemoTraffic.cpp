#include "traffic/DemoTraffic.h"

namespace {

const QChar sep = QChar(u'\0');

QString fields(std::initializer_list<QString> values)
{
    QString buffer;
    for (const QString &value : values) {
        buffer += value;
        buffer += sep;
    }
    return buffer;
}

} // namespace

DemoTraffic::DemoTraffic(std::uint32_t seed)
    : mState(seed ? seed : 1)
{
}

std::uint32_t DemoTraffic::random()
{
    // xorshift32: fast, deterministic, good enough to vary the traffic.
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return mState;
}

QString DemoTraffic::pick(const QList<QString> &choices)
{
    return choices[qsizetype(random() % std::uint32_t(choices.size()))];
}

QString DemoTraffic::dataFields(int count)
{
    static const QList<QString> names = {
        QStringLiteral("ITEM"),      QStringLiteral("NAME"),   QStringLiteral("QTY"),
        QStringLiteral("PRICE"),     QStringLiteral("STATUS"), QStringLiteral("CUSTOMER"),
        QStringLiteral("WAREHOUSE"), QStringLiteral("DUE"),    QStringLiteral("NOTE")};
    static const QList<QString> words = {
        QStringLiteral("Smith"),      QStringLiteral("Kowalski"),    QStringLiteral("open"),
        QStringLiteral("shipped"),    QStringLiteral("A-1042"),      QStringLiteral("2026-12-06"),
        QStringLiteral("Łódź depot"), QStringLiteral("Müller GmbH"), QStringLiteral("backorder")};
    QString buffer;
    for (int i = 0; i < count; ++i) {
        buffer += pick(names);
        buffer += QLatin1Char('=');
        if (random() % 2)
            buffer += QString::number(random() % 100000);
        else
            buffer += pick(words);
        buffer += sep;
    }
    return buffer;
}

TraceCall DemoTraffic::next(bool withHeaders)
{
    static const QList<QString> apps = {QStringLiteral("HELIX Catalog"),
                                        QStringLiteral("HELIX Orders"),
                                        QStringLiteral("HELIX Billing")};
    static const QList<QString> requests = {
        QStringLiteral("GetRecord"),  QStringLiteral("Lookup"), QStringLiteral("UpdateItem"),
        QStringLiteral("ListOrders"), QStringLiteral("Count"),  QStringLiteral("PostInvoice"),
        QStringLiteral("Ping")};
    static const QList<QString> notes = {QStringLiteral("Cache refreshed"),
                                         QStringLiteral("Retrying after timeout"),
                                         QStringLiteral("Session renewed")};
    TraceCall call;
    if (mReplyDue) {
        mReplyDue = false;
        call.kind = TraceCall::Receive;
        call.appName = mLastApp;
        const bool failed = random() % 10 == 0;
        QString header;
        if (withHeaders)
            header = fields({QStringLiteral("[HEADER]"), QStringLiteral("VER=2"),
                             QStringLiteral("SESSION=") + QString::number(mSession)});
        call.buffer = header +
                      fields({failed ? QStringLiteral("RC=17") : QStringLiteral("RC=0"),
                              QStringLiteral("[DATA]")}) +
                      (failed ? fields({QStringLiteral("MSG=Record locked by another user")})
                              : dataFields(1 + int(random() % 6)));
        return call;
    }
    if (random() % 12 == 0) {
        call.kind = TraceCall::Text;
        call.appName = pick(apps);
        call.text = pick(notes);
        return call;
    }
    call.kind = TraceCall::Send;
    call.appName = pick(apps);
    call.request = pick(requests);
    if (withHeaders)
        call.buffer = fields({QStringLiteral("[HEADER]"), QStringLiteral("VER=2"),
                              QStringLiteral("SESSION=") + QString::number(mSession),
                              QStringLiteral("[DATA]")});
    call.buffer += dataFields(1 + int(random() % 4));
    mLastApp = call.appName;
    mReplyDue = true;
    if (random() % 50 == 0)
        ++mSession;
    return call;
}

QList<TraceCall> DemoTraffic::showcase()
{
    const QString a = QStringLiteral("Client A");
    auto send = [&](const QString &request, const QString &buffer) {
        return TraceCall{TraceCall::Send, a, request, {}, buffer};
    };
    auto receive = [&](const QString &buffer) {
        return TraceCall{TraceCall::Receive, a, {}, {}, buffer};
    };
    auto text = [&](const QString &note) { return TraceCall{TraceCall::Text, a, {}, note, {}}; };
    return {
        text(QStringLiteral("<Connecting>")),
        send(QStringLiteral("Lookup"),
             fields({QStringLiteral("[HEADER]"), QStringLiteral("V=1"), QStringLiteral("ID=7"),
                     QStringLiteral("[DATA]"), QStringLiteral("ITEM"), QStringLiteral("A=1"),
                     QString(), QStringLiteral("B=xy")}) +
                 QStringLiteral("tail")),
        receive(fields({QStringLiteral("[HEADER]"), QStringLiteral("V=1"), QStringLiteral("RC=0"),
                        QStringLiteral("[DATA]"), QStringLiteral("A=1"), QStringLiteral("Z"),
                        QStringLiteral("NAME=Smith")})),
        send(QStringLiteral("Count"), fields({QStringLiteral("ITEM"), QStringLiteral("A=1")})),
        send(QStringLiteral("Ping"), fields({QStringLiteral("[HEADER]"), QStringLiteral("V=1")})),
        send(QStringLiteral("Ping"), QString()),
        receive(fields({QStringLiteral("V=1"), QStringLiteral("A=1")})),
        text(QStringLiteral("<Disconnected>")),
    };
}
