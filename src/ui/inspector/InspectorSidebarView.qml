import QtQuick
import Emberglass.Theme

// The open inspector panel: header and content.
Rectangle {
    property string panel
    color: Theme.background
}
