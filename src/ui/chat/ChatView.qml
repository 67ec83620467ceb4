import QtQuick
import Emberglass.Theme

// The transcript of the selected conversation and the input bar.
Rectangle {
    color: Theme.surface
}
