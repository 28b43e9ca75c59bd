#include "find/LineMatcher.h"

#include <algorithm>
#include <cstring>

namespace {

// Every Latin-1 character's simple case folding (U+00B5 MICRO SIGN folds beyond Latin-1).
const std::array<char16_t, 256> &latin1Folding()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> folded{};
        for (int c = 0; c < 256; ++c)
            folded[c] = QChar(char16_t(c)).toCaseFolded().unicode();
        return folded;
    }();
    return table;
}

} // namespace

LineMatcher::LineMatcher(const QString &text, bool wholeWord, bool matchCase)
    : mText(text)
    , mWholeWord(wholeWord)
    , mMatchCase(matchCase)
{
    mLatin1Text =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
    if (mLatin1Text)
        mLatin1 = text.toLatin1();
    mFolded = text.toCaseFolded();
    if (!mFolded.isEmpty()) {
        const auto &fold = latin1Folding();
        for (int c = 0; c < 256; ++c) {
            mFirstByte[c] = fold[c] == mFolded[0].unicode();
            if (mFirstByte[c] && mFirstByteCount++ < 2)
                mFirstBytes[std::size_t(mFirstByteCount - 1)] = static_cast<unsigned char>(c);
        }
    }
}

qsizetype LineMatcher::find(QLatin1StringView line) const
{
    const qsizetype n = line.size();
    const qsizetype m = mText.size();
    if (m == 0 || m > n)
        return m == 0 ? 0 : -1;
    const auto *bytes = reinterpret_cast<const unsigned char *>(line.data());
    if (mMatchCase) {
        if (!mLatin1Text)
            return -1;
        // Short lines: find the first byte with memchr and compare the rest, which costs far
        // less per line than a general substring search.
        const auto *needle = reinterpret_cast<const unsigned char *>(mLatin1.constData());
        const unsigned char *end = bytes + (n - m) + 1;
        for (const unsigned char *at = bytes; at < end; ++at) {
            at = static_cast<const unsigned char *>(
                std::memchr(at, needle[0], std::size_t(end - at)));
            if (!at)
                return -1;
            if (std::memcmp(at + 1, needle + 1, std::size_t(m - 1)) == 0)
                return at - bytes;
        }
        return -1;
    }
    const auto &fold = latin1Folding();
    const char16_t *folded = reinterpret_cast<const char16_t *>(mFolded.utf16());
    const auto restMatches = [&](qsizetype i) {
        qsizetype j = 1;
        while (j < m && fold[bytes[i + j]] == folded[j])
            ++j;
        return j == m;
    };
    if (mFirstByteCount == 0)
        return -1;
    if (mFirstByteCount <= 2) {
        const unsigned char *end = bytes + (n - m) + 1;
        const auto next = [end](const unsigned char *from, unsigned char byte) {
            const void *at = std::memchr(from, byte, std::size_t(end - from));
            return at ? static_cast<const unsigned char *>(at) : end;
        };
        const unsigned char *a = next(bytes, mFirstBytes[0]);
        const unsigned char *b = mFirstByteCount == 2 ? next(bytes, mFirstBytes[1]) : end;
        while (a < end || b < end) {
            const unsigned char *at = std::min(a, b);
            if (restMatches(at - bytes))
                return at - bytes;
            if (at == a)
                a = next(a + 1, mFirstBytes[0]);
            else
                b = next(b + 1, mFirstBytes[1]);
        }
        return -1;
    }
    for (qsizetype i = 0; i + m <= n; ++i) {
        if (mFirstByte[bytes[i]] && restMatches(i))
            return i;
    }
    return -1;
}

qsizetype LineMatcher::find(QStringView line) const
{
    return line.indexOf(mText, 0, mMatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

template <typename View> bool LineMatcher::isWholeWord(View line, qsizetype at) const
{
    if (at > 0 && IsWordChar(QChar(line[at - 1])))
        return false;
    const qsizetype end = at + mText.size();
    return end >= line.size() || !IsWordChar(QChar(line[end]));
}

qsizetype LineMatcher::indexIn(const LineView &line) const
{
    return line.visit([this](auto view) -> qsizetype {
        const qsizetype at = find(view);
        if (at < 0 || (mWholeWord && !isWholeWord(view, at)))
            return -1;
        return at;
    });
}
