#pragma once

#include <QString>

#include <cstdint>

// How times and durations read in the time gutter and the Session window.
namespace SessionText {

// The local time of day, "hh:mm:ss.mmm".
QString clockTime(std::int64_t wallMs);

// A duration with three significant figures at most: "850 us", "2.41 ms", "12.3 ms",
// "480 ms", "1.25 s", "73.0 s", "125 s", "2 h 05 min".
QString duration(std::uint64_t micros);

// A latency as the gutter shows it: "+12 ms", "+0.8 ms", "+1.4 s".
QString gutterLatency(std::uint64_t micros);

// "1,234,567".
QString count(std::uint64_t value);

} // namespace SessionText
