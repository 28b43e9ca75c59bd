#include "FuzzCheck.h"
#include "display/BufferCutter.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

namespace {

constexpr QChar Separator = BufferCutter::DataSeparator;
const QStringView HeaderMarker(u"[HEADER]");
const QStringView DataStart(u"\0[DATA]", 7);
const QStringView ReturnCodeStart(u"\0RC=", 4);
// The display's indent, so appended header text lands after existing characters.
const QString Indent = QStringLiteral("       ");

// An even first byte gives UTF-8, as buffers arrive over D-Bus; an odd one raw UTF-16, so
// any code unit (unpaired surrogates too) reaches the cutter.
QString bufferFrom(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    if (data[0] % 2 == 0)
        return QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QString text(qsizetype((size - 1) / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data + 1, std::size_t(text.size()) * 2);
    return text;
}

// Deliberately naive, so it shares nothing with QStringView::indexOf.
qsizetype naiveFind(QStringView text, QStringView what, qsizetype from = 0)
{
    for (qsizetype i = from; i + what.size() <= text.size(); ++i) {
        qsizetype j = 0;
        while (j < what.size() && text[i + j] == what[j])
            ++j;
        if (j == what.size())
            return i;
    }
    return -1;
}

qsizetype countSeparators(QStringView text)
{
    qsizetype count = 0;
    for (QChar c : text)
        count += c == Separator;
    return count;
}

bool inside(QStringView view, QStringView buffer)
{
    if (view.isEmpty())
        return true;
    const std::less_equal<const QChar *> notAfter;
    return notAfter(buffer.data(), view.data()) &&
           notAfter(view.data() + view.size(), buffer.data() + buffer.size());
}

// The same characters of the same buffer, not merely equal text.
bool same(QStringView view, QStringView expected)
{
    if (view.isEmpty() || expected.isEmpty())
        return view.isEmpty() && expected.isEmpty();
    return view.data() == expected.data() && view.size() == expected.size();
}

QStringView tailFrom(QStringView buffer, qsizetype start)
{
    return start < buffer.size() ? buffer.sliced(start) : QStringView();
}

void checkFields(QStringView data)
{
    qsizetype count = 0;
    const QChar *next = data.data();
    BufferCutter::forEachField(data, [&](QStringView field) {
        FUZZ_CHECK(inside(field, data));
        FUZZ_CHECK(field.isEmpty() || field.data() == next);
        FUZZ_CHECK(countSeparators(field) == 0);
        // Every field is ended by a separator inside the data.
        const qsizetype end = next - data.data() + field.size();
        FUZZ_CHECK(end < data.size() && data[end] == Separator);
        next = data.data() + end + 1;
        ++count;
    });
    FUZZ_CHECK(count == countSeparators(data));
}

void checkHeaderText(QStringView header)
{
    QString line = Indent;
    BufferCutter::appendHeaderText(line, header);
    FUZZ_CHECK(line.size() == Indent.size() + header.size());
    FUZZ_CHECK(line.startsWith(Indent));
    FUZZ_CHECK(countSeparators(line) == 0);
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QChar expected = header[i] == Separator ? QLatin1Char(' ') : header[i];
        FUZZ_CHECK(line[Indent.size() + i] == expected);
    }
}

void checkSend(QStringView buffer)
{
    const BufferCutter::SendBuffer cut = BufferCutter::cutSend(buffer);
    FUZZ_CHECK(inside(cut.header, buffer));
    FUZZ_CHECK(inside(cut.data, buffer));
    FUZZ_CHECK(cut.hasHeader == (naiveFind(buffer, HeaderMarker) >= 0));
    if (!cut.hasHeader) {
        FUZZ_CHECK(cut.header.isEmpty());
        FUZZ_CHECK(same(cut.data, buffer));
    } else if (const qsizetype at = naiveFind(buffer, DataStart); at < 0) {
        FUZZ_CHECK(same(cut.header, buffer));
        FUZZ_CHECK(cut.data.isEmpty());
    } else {
        FUZZ_CHECK(same(cut.header, buffer.first(at + 1)));
        FUZZ_CHECK(cut.header.endsWith(Separator));
        FUZZ_CHECK(same(cut.data, tailFrom(buffer, at + DataStart.size() + 1)));
    }
    checkFields(cut.data);
    checkHeaderText(cut.header);
}

void checkReceive(QStringView buffer)
{
    const BufferCutter::ReceiveBuffer cut = BufferCutter::cutReceive(buffer);
    FUZZ_CHECK(inside(cut.header, buffer));
    FUZZ_CHECK(inside(cut.returnCode, buffer));
    FUZZ_CHECK(inside(cut.data, buffer));
    const qsizetype at = naiveFind(buffer, ReturnCodeStart);
    FUZZ_CHECK(cut.hasReturnCode == (at >= 0));
    if (!cut.hasReturnCode) {
        FUZZ_CHECK(!cut.returnCodeClosed);
        FUZZ_CHECK(cut.header.isEmpty() && cut.returnCode.isEmpty() && cut.data.isEmpty());
        return;
    }
    FUZZ_CHECK(same(cut.header, buffer.first(at + 1)));
    FUZZ_CHECK(cut.header.endsWith(Separator));
    const qsizetype end = naiveFind(buffer, QStringView(&Separator, 1), at + 1);
    FUZZ_CHECK(cut.returnCodeClosed == (end >= 0));
    if (!cut.returnCodeClosed) {
        FUZZ_CHECK(cut.returnCode.isEmpty() && cut.data.isEmpty());
    } else {
        FUZZ_CHECK(same(cut.returnCode, buffer.sliced(at + 1, end - at - 1)));
        FUZZ_CHECK(cut.returnCode.startsWith(u"RC="));
        FUZZ_CHECK(countSeparators(cut.returnCode) == 0);
        // The reply's data starts after the separator, "[DATA]" and the separator after it.
        FUZZ_CHECK(same(cut.data, tailFrom(buffer, end + DataStart.size() + 1)));
    }
    checkFields(cut.data);
    checkHeaderText(cut.header);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString decoded = bufferFrom(data, size);
    // An exact copy: a read past the end hits ASan's red zone instead of QString's trailing null.
    const auto exact = std::make_unique<char16_t[]>(std::size_t(decoded.size()));
    std::copy_n(decoded.utf16(), decoded.size(), exact.get());
    const QStringView buffer(exact.get(), decoded.size());
    checkSend(buffer);
    checkReceive(buffer);
    checkFields(buffer);
    checkHeaderText(buffer);
    return 0;
}
