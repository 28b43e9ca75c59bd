#pragma once

#include "platform/HelixError.h"

#include <QByteArray>
#include <QString>

#include <variant>

// Buffers arrive as UTF-8 bytes, the byte 0 standing for the separator U+0000. Anything that
// is not valid UTF-8, or is too large to show, is refused before it reaches the display.
namespace BufferDecoding {

// 32 MiB of UTF-8: already about a million lines; a larger buffer is a client fault, not
// traffic. (D-Bus itself carries at most 64 MiB in one array.)
constexpr qsizetype MaxBufferBytes = qsizetype(32) * 1024 * 1024;

std::variant<QString, HelixError> decode(const QByteArray &utf8);

} // namespace BufferDecoding
