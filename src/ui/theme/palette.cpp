#include "palette.h"

QPalette Palette::application() {
    QPalette light(surfaceAlt(), background()); // buttons, window
    light.setColor(QPalette::Base, surface());
    light.setColor(QPalette::Text, textPrimary());
    light.setColor(QPalette::WindowText, textPrimary());
    light.setColor(QPalette::ButtonText, textPrimary());
    light.setColor(QPalette::ToolTipBase, surface());
    light.setColor(QPalette::ToolTipText, textPrimary());
    return light;
}
