import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The paper clip beside the input: chooses files (through the desktop's own
// dialog where there is one) whose paths go into the input field, for the
// agent to read with its tools.
AbstractButton {
    id: button

    // The chosen files' paths, as they are typed.
    signal pathsChosen(string text)

    implicitWidth: 36
    implicitHeight: 36
    focusPolicy: Qt.TabFocus
    hoverEnabled: true
    Accessible.name: Texts.attachAccessibleName
    Accessible.description: Texts.attachAccessibleDescription
    Accessible.onPressAction: clicked()
    ToolTip.visible: hovered || visualFocus
    ToolTip.delay: 500
    ToolTip.text: Texts.attachToolTip

    onClicked: dialog.open()

    Shortcut {
        sequence: Texts.attachShortcut
        context: Qt.ApplicationShortcut
        onActivated: dialog.open()
    }

    FileDialog {
        id: dialog
        objectName: "attachDialog"
        title: Texts.attachDialogTitle
        fileMode: FileDialog.OpenFiles
        onAccepted: button.pathsChosen(InputPaths.text(selectedFiles))
    }

    FocusRing {
        radius: 12
        shown: button.visualFocus
    }

    background: Rectangle {
        radius: 10
        color: button.hovered || button.pressed ? Theme.surfaceAlt : "transparent"
    }

    contentItem: Item {
        Icon {
            anchors.centerIn: parent
            name: "paperclip"
            size: 16
            color: Theme.textSecondary
        }
    }
}
