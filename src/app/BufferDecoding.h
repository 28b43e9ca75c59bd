#pragma once

#include "HelixError.h"

#include <QByteArray>
#include <QString>

#include <variant>

// Buffers arrive as UTF-8 bytes, the byte 0 standing for the separator U+0000. Anything that
// is not valid UTF-8, or is too large to show, is refused before it reaches the display.
namespace BufferDecoding {

// 64 MiB of UTF-8: already millions of lines; a larger buffer is a client fault, not traffic.
constexpr qsizetype MaxBufferBytes = qsizetype(64) * 1024 * 1024;

std::variant<QString, HelixError> decode(const QByteArray &utf8);

} // namespace BufferDecoding
