#pragma once
// Work that waits for the window's first frame: the window is mapped and
// painted before it starts, so that the user sees the window as soon as
// it can be shown and not after what follows it.

#include <QWidget>

#include <functional>

namespace patchsmith::app {

// Runs `task` once, from the event loop, after the first expose of the
// shown `window` has been handled (that is where its first frame is
// painted), or after `fallbackMs` if the window system never exposes it (a
// window started minimised, say). Nothing runs if the window is gone first.
void runAfterFirstFrame(QWidget& window, int fallbackMs, std::function<void()> task);

} // namespace patchsmith::app
