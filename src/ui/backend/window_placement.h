#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

#include <optional>

class QWindow;

// Where the window opens: at its default size where the screen has room for it
// (with its frame), smaller where it has not, centred on the screen's
// available area (the desktop less its panels). Sizes are in the logical
// pixels of a scaled screen, so a scale factor of 2 halves the room.
namespace WindowPlacement {

// The client area's geometry for a window that wants `wanted`, given the
// screen's available area and the frame the window manager adds around it.
QRect fittedGeometry(QSize wanted, QRect available, QMargins frame);

// The window's minimum size, lowered to what the available area can hold: a
// window manager would otherwise keep the window larger than the screen.
QSize fittedMinimum(QSize minimum, QRect available, QMargins frame);

// Where a window left at `saved` (its client area) opens among the screens'
// available areas now, the primary's first: on the area holding most of it,
// else centred on the primary's; never larger than that area holds, and moved
// in until it is whole on it.
QRect restoredGeometry(QRect saved, const QList<QRect>& areas, QMargins frame);

// Places `window` before it is shown: where it was left (`saved`), or at its
// size centred on its screen; once more when it is first shown, if the frame
// it was given makes it overflow.
void placeOnScreen(QWindow* window, std::optional<QRect> saved = std::nullopt);

} // namespace WindowPlacement
