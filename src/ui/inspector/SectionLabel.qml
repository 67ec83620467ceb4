import QtQuick
import Emberglass.Theme

// A section's small upper-case title ("MODE", "HOW IT WORKS").
Text {
    Accessible.role: Accessible.Heading
    Accessible.name: text
    Accessible.focusable: false
    font.family: Theme.monoFamily
    font.pixelSize: Theme.textCaption
    font.bold: true
    font.letterSpacing: 2
    color: Theme.textTertiary
}
