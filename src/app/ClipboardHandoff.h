#pragma once

// Whether lines this process put on the clipboard would die with it: it owns the clipboard and
// no clipboard manager runs to take them over when it exits (on X11 the owner of
// CLIPBOARD_MANAGER, whom the window system library hands the clipboard at exit; elsewhere none
// is known, so none is assumed).
bool copiedLinesWouldBeLost();
