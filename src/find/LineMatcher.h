#pragma once

#include "platform/LineSource.h"

#include <QByteArray>
#include <QString>

#include <array>

// Whether one line holds the text to find. Only the first occurrence counts: with whole words
// on, a line whose first occurrence sits inside a word does not match, even if a later one
// would. Without match case, letters compare by Unicode simple case folding. Lines are read in
// place, Latin-1 lines byte by byte, so a scan makes no copy of any line.
class LineMatcher {
public:
    LineMatcher(const QString &text, bool wholeWord, bool matchCase);

    bool matches(const LineView &line) const { return indexIn(line) >= 0; }
    // Where the first occurrence starts, or -1 when the line does not match.
    qsizetype indexIn(const LineView &line) const;
    qsizetype length() const { return mText.size(); }

    // Letters and digits, judged on the whole UTF-16 code unit; everything else ends a word.
    static bool IsWordChar(QChar c) { return c.isLetterOrNumber(); }

private:
    qsizetype find(QLatin1StringView line) const;
    qsizetype find(QStringView line) const;
    template <typename View> bool isWholeWord(View line, qsizetype at) const;

    QString mText;
    bool mWholeWord;
    bool mMatchCase;
    // The text in Latin-1 when every character fits, for exact search in Latin-1 lines.
    bool mLatin1Text = false;
    QByteArray mLatin1;
    // The text case-folded, and which Latin-1 bytes fold to its first character: when there
    // are one or two (a letter's two cases), a search jumps from one to the next with memchr.
    QString mFolded;
    std::array<bool, 256> mFirstByte{};
    int mFirstByteCount = 0;
    std::array<unsigned char, 2> mFirstBytes{};
};
