import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Inspector
import Emberglass.Theme

// A failed reply: its error in the danger colour, and a button naming what
// mends it (try again, or open the model settings).
Rectangle {
    id: row

    property string text
    // "retry" or "settings".
    property string failure
    readonly property bool retries: failure === "retry"

    signal fixRequested()

    implicitHeight: layout.implicitHeight + 16
    radius: 8
    color: Theme.tint(Theme.danger, 0.08)
    border.width: 1
    border.color: Theme.tint(Theme.danger, 0.35)

    RowLayout {
        id: layout
        x: 12
        y: 8
        width: row.width - 24
        spacing: 10

        Icon {
            Layout.alignment: Qt.AlignTop
            Layout.topMargin: 2
            name: "exclamationmark"
            size: 12
            color: Theme.danger
        }

        SelectableText {
            objectName: "errorText"
            Layout.fillWidth: true
            text: row.text
            // Drawn in the agent's bubble.
            surface: Qt.tint(Theme.background, row.color)
            wrapMode: TextEdit.Wrap
            color: Theme.danger
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textBody
            Accessible.name: row.text
        }

        FilledButton {
            objectName: "fixButton"
            Layout.alignment: Qt.AlignVCenter
            text: row.retries ? Texts.retry : Texts.openModelSettings
            fill: Theme.danger
            enabled: !row.retries || !ChatViewModel.isGenerating
            Accessible.description: row.retries ? Texts.retryDescription : Texts.openModelSettingsDescription
            onClicked: row.fixRequested()
        }
    }
}
