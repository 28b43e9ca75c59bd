#include "display/VisibleText.h"

namespace VisibleText {

namespace {

constexpr QChar kEllipsis = QChar(0x2026);

QChar visible(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20)
        return QChar(char16_t(0x2400 + u)); // Control Pictures block: U+2400 is "NUL"
    if (u == 0x7F)
        return QChar(char16_t(0x2421));
    return c;
}

} // namespace

QString forPainting(const LineView &line)
{
    const bool cut = line.length > PaintLimit;
    QString text = line.visit([](auto view) {
        return view.first(std::min<qsizetype>(view.size(), PaintLimit)).toString();
    });
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = visible(c);
    }
    if (cut)
        text.append(kEllipsis);
    return text;
}

} // namespace VisibleText
