#include "FuzzCheck.h"
#include "find/LineMatcher.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// Byte 0: bit 0 whole word, bit 1 match case, bit 2 the text to find and bit 3 the line in
// raw UTF-16 (else Latin-1, one byte a character). Byte 1 minus '0': the text's length in
// characters. Then the text, then the line. Digits and letters keep small seeds readable.
struct Case {
    bool wholeWord = false;
    bool matchCase = false;
    QString text;
    QString line;
};

QString take(const uint8_t *&at, const uint8_t *end, qsizetype count, bool wide)
{
    const qsizetype unit = wide ? 2 : 1;
    count = std::min(count, qsizetype(end - at) / unit);
    QString taken;
    if (wide) {
        taken.resize(count);
        std::memcpy(taken.data(), at, std::size_t(count) * 2);
    } else {
        taken = QString::fromLatin1(reinterpret_cast<const char *>(at), count);
    }
    at += count * unit;
    return taken;
}

Case caseFrom(const uint8_t *data, size_t size)
{
    Case c;
    if (size < 2)
        return c;
    c.wholeWord = data[0] & 1;
    c.matchCase = data[0] & 2;
    const uint8_t *at = data + 2;
    const uint8_t *end = data + size;
    c.text = take(at, end, (data[1] - '0') & 63, data[0] & 4);
    c.line = take(at, end, end - at, data[0] & 8);
    return c;
}

bool containsSurrogate(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

bool fitsLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

bool isWholeWordAt(const QString &line, qsizetype at, qsizetype length)
{
    if (at > 0 && line[at - 1].isLetterOrNumber())
        return false;
    return at + length >= line.size() || !line[at + length].isLetterOrNumber();
}

bool reference(const Case &c)
{
    const Qt::CaseSensitivity cs = c.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype at = c.line.indexOf(c.text, 0, cs);
    return at >= 0 && (!c.wholeWord || isWholeWordAt(c.line, at, c.text.size()));
}

// Character by character with simple case folding, for text without surrogates (where the
// folding of a pair is not that of its halves).
qsizetype slowFind(const Case &c)
{
    const auto fold = [&](QChar ch) { return c.matchCase ? ch : ch.toCaseFolded(); };
    for (qsizetype i = 0; i + c.text.size() <= c.line.size(); ++i) {
        qsizetype j = 0;
        while (j < c.text.size() && fold(c.line[i + j]) == fold(c.text[j]))
            ++j;
        if (j == c.text.size())
            return i;
    }
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Case c = caseFrom(data, size);
    const bool expected = reference(c);
    if (!containsSurrogate(c.text) && !containsSurrogate(c.line)) {
        const qsizetype at = slowFind(c);
        FUZZ_CHECK(expected ==
                   (at >= 0 && (!c.wholeWord || isWholeWordAt(c.line, at, c.text.size()))));
    }

    const LineMatcher matcher(c.text, c.wholeWord, c.matchCase);
    // Exact copies of the stored forms, so a read past the line's end hits ASan's red zone.
    const auto wide = std::make_unique<char16_t[]>(std::size_t(c.line.size()));
    std::copy_n(c.line.utf16(), c.line.size(), wide.get());
    FUZZ_CHECK(matcher.matches(LineView{wide.get(), c.line.size(), true}) == expected);
    if (fitsLatin1(c.line)) {
        const QByteArray latin1 = c.line.toLatin1();
        const auto narrow = std::make_unique<char[]>(std::size_t(latin1.size()));
        std::copy_n(latin1.constData(), latin1.size(), narrow.get());
        FUZZ_CHECK(matcher.matches(LineView{narrow.get(), c.line.size(), false}) == expected);
    }
    return 0;
}
