#include "FuzzCheck.h"
#include "app/BufferDecoding.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <variant>

namespace {

// Well-formed UTF-8 as RFC 3629 has it: shortest forms only, no surrogates, nothing past
// U+10FFFF.
bool isUtf8(const uint8_t *bytes, size_t size)
{
    size_t i = 0;
    while (i < size) {
        const uint8_t lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        char32_t code;
        char32_t least;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (size - i < length)
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
            code = code << 6 | (bytes[i + k] & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace

// The size limit, once per run: inputs this large are beyond what fuzzing mutates.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QByteArray largest(BufferDecoding::MaxBufferBytes, 'A');
    FUZZ_CHECK(std::holds_alternative<QString>(BufferDecoding::decode(largest)));
    largest.append('A');
    const auto tooLarge = BufferDecoding::decode(largest);
    FUZZ_CHECK(std::holds_alternative<HelixError>(tooLarge));
    FUZZ_CHECK(std::get<HelixError>(tooLarge).name == u"BufferTooLarge");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto decoded = BufferDecoding::decode(bytes);
    if (const QString *text = std::get_if<QString>(&decoded)) {
        FUZZ_CHECK(isUtf8(data, size));
        // Every byte stays: the text shown is the text sent.
        FUZZ_CHECK(text->toUtf8() == bytes);
    } else {
        FUZZ_CHECK(!isUtf8(data, size));
        FUZZ_CHECK(std::get<HelixError>(decoded).name == u"InvalidUtf8");
    }
    return 0;
}
