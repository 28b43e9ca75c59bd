#include "app/BufferDecoding.h"

#include <QStringDecoder>

namespace BufferDecoding {

std::variant<QString, HelixError> decode(const QByteArray &utf8)
{
    if (utf8.size() > MaxBufferBytes)
        return HelixError{0, QStringLiteral("BufferTooLarge"),
                          QStringLiteral("Buffer of %1 bytes exceeds the limit of %2 bytes")
                              .arg(utf8.size())
                              .arg(MaxBufferBytes)};
    // A leading U+FEFF is part of the first field, not a byte-order mark to drop: the display
    // shows what the client sent.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(utf8);
    if (decoder.hasError())
        return HelixError{0, QStringLiteral("InvalidUtf8"),
                          QStringLiteral("Buffer is not valid UTF-8")};
    return text;
}

} // namespace BufferDecoding
