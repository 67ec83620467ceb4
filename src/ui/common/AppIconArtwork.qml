import QtQuick
import Emberglass.Backend

// The application icon, drawn at any size: an orange rounded square holding a
// white ember with a warm core and three sparks rising from it. The drawing is
// shared with the installed icon files (backend/app_icon_painter.cpp).
AppIconItem {
    property real size: 120

    width: size
    height: size
    cornerRadius: size * 0.22
}
