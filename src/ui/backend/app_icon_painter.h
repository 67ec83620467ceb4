#pragma once

class QIcon;
class QPainter;

// The application icon, drawn from shapes: an orange rounded square holding a
// white ember with a warm core and three sparks rising from it. The window,
// the installed icon files and the desktop entry all come from this drawing.
namespace AppIconPainter {

void paint(QPainter& painter, double size, double cornerRadius);

// The corner radius the icon has when nothing else is asked for.
inline double defaultCornerRadius(double size) {
    return size * 0.22;
}

// The drawing at the usual icon sizes, with a desktop icon's margin, for the window.
QIcon windowIcon();

} // namespace AppIconPainter
