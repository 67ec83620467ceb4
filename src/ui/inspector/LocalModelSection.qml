import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Theme

// The local model: what it is, its download, loading and errors, and how to set it up.
ColumnLayout {
    id: section

    spacing: 10

    SectionLabel {
        text: InspectorTexts.localModel
    }

    Rectangle {
        Layout.fillWidth: true
        implicitHeight: cardRow.implicitHeight + 24
        radius: 12
        color: Theme.surface
        border.width: 1
        border.color: Theme.border

        RowLayout {
            id: cardRow
            anchors.fill: parent
            anchors.margins: 12
            spacing: 12

            Rectangle {
                implicitWidth: 36
                implicitHeight: 36
                radius: 9
                color: Theme.accent

                Icon {
                    anchors.centerIn: parent
                    name: "cpu"
                    size: 16
                    color: "white"
                }
            }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 3

                Text {
                    Layout.fillWidth: true
                    text: InspectorTexts.localModelTitle
                    wrapMode: Text.WordWrap
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: Theme.textPrimary
                }
                Text {
                    Layout.fillWidth: true
                    text: InspectorTexts.localModelRequirement
                    wrapMode: Text.WordWrap
                    font.family: Theme.fontFamily
                    font.pixelSize: 9
                    color: Theme.textSecondary
                }
            }
            Icon {
                objectName: "localInUse"
                visible: ChatViewModel.activeBackend === ModelChoices.local
                name: "checkmark.circle.fill"
                size: 18
                color: Theme.success
            }
        }
    }

    FilledButton {
        objectName: "setupButton"
        text: ChatViewModel.isPullingModel ? InspectorTexts.downloading : InspectorTexts.setupLocalModel
        symbol: "arrow.down.circle.fill"
        symbolSize: 12
        busy: ChatViewModel.isPullingModel
        onClicked: ChatViewModel.pullModel()
    }

    RowLayout {
        visible: ChatViewModel.ollamaPullProgress.length > 0
        Layout.fillWidth: true
        spacing: 6

        ProgressSpinner {
            visible: ChatViewModel.isPullingModel
            size: 10
        }
        Text {
            objectName: "pullProgress"
            Layout.fillWidth: true
            text: ChatViewModel.ollamaPullProgress
            wrapMode: Text.WrapAnywhere
            font.family: Theme.monoFamily
            font.pixelSize: 9
            color: ChatViewModel.ollamaPullProgress === InspectorTexts.modelReady ? Theme.success : Theme.textSecondary
        }
    }

    RowLayout {
        objectName: "loadingModel"
        visible: ChatViewModel.isLoadingModel
        spacing: 6

        ProgressSpinner {
            size: 10
        }
        Text {
            text: InspectorTexts.loadingModel
            font.family: Theme.monoFamily
            font.pixelSize: 9
            font.bold: true
            font.letterSpacing: 1
            color: Theme.textTertiary
        }
    }

    Text {
        objectName: "modelLoadError"
        visible: ChatViewModel.modelLoadError.length > 0
        Layout.fillWidth: true
        text: ChatViewModel.modelLoadError
        wrapMode: Text.WordWrap
        font.family: Theme.fontFamily
        font.pixelSize: 9
        color: Theme.danger
    }

    SectionLabel {
        Layout.topMargin: 8
        text: InspectorTexts.howToSetUp
        font.letterSpacing: 1
    }

    Repeater {
        model: InspectorTexts.setupSteps

        RowLayout {
            required property int index
            required property string modelData
            Layout.fillWidth: true
            spacing: 4

            Text {
                Layout.preferredWidth: 14
                Layout.alignment: Qt.AlignTop
                text: index + 1
                font.family: Theme.monoFamily
                font.pixelSize: 9
                font.bold: true
                color: Theme.textSecondary
            }
            Text {
                Layout.fillWidth: true
                text: modelData
                wrapMode: Text.WordWrap
                font.family: Theme.fontFamily
                font.pixelSize: 9
                color: Theme.textSecondary
            }
        }
    }
}
