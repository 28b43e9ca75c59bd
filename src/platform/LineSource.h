#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <utility>

// A display line's stored text, read in place: Latin-1 bytes or UTF-16 code units.
struct LineView {
    const void *data = nullptr;
    qsizetype length = 0;
    bool wide = false;

    QLatin1StringView latin1() const { return {static_cast<const char *>(data), length}; }
    QStringView utf16() const { return {static_cast<const char16_t *>(data), length}; }
    QString toString() const { return wide ? utf16().toString() : QString(latin1()); }

    // Calls f with a QLatin1StringView or a QStringView, whichever the line is stored as, so
    // hot loops can read lines without decoding them.
    template <typename F> decltype(auto) visit(F &&f) const
    {
        return wide ? std::forward<F>(f)(utf16()) : std::forward<F>(f)(latin1());
    }
};

// The narrow view of the display that search and saving need: how many lines there are and
// each line's text, read in place.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual int lineCount() const = 0;
    virtual LineView line(int row) const = 0;
};
