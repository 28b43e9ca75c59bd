#pragma once

// The values the display grid's int parameters take.

// Row data of the first row of an entry; every other row holds 0.
constexpr int kEntryMark = 1;

// Redraw: painting stopped, painted at once, painted through the grid's refresh.
constexpr int flexRDNone = 0;
constexpr int flexRDDirect = 1;
constexpr int flexRDBuffered = 2;

// The one column the grid has.
constexpr int kTextColumn = 0;
