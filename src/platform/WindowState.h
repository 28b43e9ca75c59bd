#pragma once

// A window's state as the resize rule and the settings see it.
constexpr int vbNormal = 0;
constexpr int vbMinimized = 1;
constexpr int vbMaximized = 2;
