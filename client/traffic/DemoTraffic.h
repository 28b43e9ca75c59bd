#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// Realistic HELIX traffic for the demo and the benchmarks: requests with and without headers,
// replies with return codes and data fields, and notes, from several client titles. The
// sequence is fixed by its seed, so runs are comparable.
struct TraceCall {
    enum Kind { Send, Receive, Text };
    Kind kind = Text;
    QString appName;
    QString request; // Send only
    QString text;    // Text only
    QString buffer;  // Send and Receive; fields end with U+0000
};

class DemoTraffic {
public:
    explicit DemoTraffic(std::uint32_t seed = 1);

    // The next call of an endless conversation: mostly request/reply pairs, now and then a
    // note. `withHeaders` adds header sections to requests and replies.
    TraceCall next(bool withHeaders = true);

    // The calls that show every rule of the display once (headers, empty and one-character
    // fields, missing markers, text after the last separator).
    static QList<TraceCall> showcase();

private:
    std::uint32_t random();
    QString pick(const QList<QString> &choices);
    QString dataFields(int count);

    std::uint32_t mState;
    bool mReplyDue = false;
    QString mLastApp;
    std::uint32_t mSession = 4711;
};
