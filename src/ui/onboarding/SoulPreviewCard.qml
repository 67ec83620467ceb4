pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Emberglass.Inspector
import Emberglass.Theme

// The agent the answers describe, and ENTER EMBERGLASS (with why it could not
// be saved, when it could not).
ColumnLayout {
    id: preview

    property var answers: ({})
    property string saveError

    signal enter()

    spacing: 14

    Rectangle {
        Layout.fillWidth: true
        implicitHeight: rows.implicitHeight + 32
        radius: 12
        color: Theme.surface
        border.width: 1
        border.color: Theme.border

        ColumnLayout {
            id: rows
            anchors.fill: parent
            anchors.margins: 16
            spacing: 10

            SectionLabel {
                text: OnboardingTexts.yourAgent
            }
            Repeater {
                model: OnboardingTexts.previewRows

                DecoratedText {
                    id: previewRow
                    required property var modelData
                    Layout.fillWidth: true
                    gap: 0
                    text: preview.answers[modelData.field] || ""
                    label.objectName: "preview_" + modelData.field
                    label.textFormat: Text.PlainText
                    label.font.pixelSize: Theme.textCallout

                    Text {
                        width: 76
                        y: 3
                        text: previewRow.modelData.label
                        font.family: Theme.monoFamily
                        font.pixelSize: Theme.textCaption
                        font.bold: true
                        font.letterSpacing: 1
                        color: Theme.textTertiary
                    }
                }
            }
        }
    }

    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        Layout.alignment: Qt.AlignHCenter
        text: OnboardingTexts.editLater
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textFootnote
        color: Theme.textTertiary
    }

    ErrorLine {
        objectName: "saveError"
        horizontalAlignment: Text.AlignHCenter
        text: preview.saveError.length > 0 ? InspectorTexts.couldNotSave(preview.saveError) : ""
    }

    FilledButton {
        objectName: "enterButton"
        Layout.alignment: Qt.AlignHCenter
        Layout.preferredWidth: 220
        Layout.preferredHeight: 46
        radius: 12
        fontSize: Theme.textBody
        letterSpacing: 1.5
        text: OnboardingTexts.enter
        symbol: "arrow.right"
        symbolSize: 14
        symbolAfterText: true
        onClicked: preview.enter()
    }
}
