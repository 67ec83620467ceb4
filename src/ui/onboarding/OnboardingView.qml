import QtQuick
import Emberglass.Theme

// The first-run pages; `completed` is emitted once the soul has been stored.
Rectangle {
    signal completed()
    color: Theme.background
}
