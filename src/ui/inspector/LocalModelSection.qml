pragma ComponentBehavior: Bound
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
        implicitHeight: Math.max(tile.height, cardTexts.implicitHeight) + 24
        radius: 12
        color: Theme.surface
        border.width: 1
        border.color: Theme.border

        Rectangle {
            id: tile
            x: 12
            anchors.verticalCenter: parent.verticalCenter
            width: 36
            height: 36
            radius: 9
            color: Theme.accent

            Icon {
                anchors.centerIn: parent
                name: "cpu"
                size: 16
                color: Theme.onFill
            }
        }
        Column {
            id: cardTexts
            anchors.left: tile.right
            anchors.leftMargin: 12
            anchors.right: inUse.left
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 3

            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.focusable: false
                width: parent.width
                text: InspectorTexts.localModelTitle
                wrapMode: Text.WordWrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCallout
                font.weight: Font.DemiBold
                color: Theme.textPrimary
            }
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.focusable: false
                width: parent.width
                text: InspectorTexts.localModelRequirement
                wrapMode: Text.WordWrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCaption
                color: Theme.textSecondary
            }
        }
        Icon {
            id: inUse
            objectName: "localInUse"
            anchors.right: parent.right
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            visible: ChatViewModel.backends.activeBackend === AIBackend.Value.local
            name: "checkmark.circle.fill"
            size: 18
            color: Theme.success
        }
    }

    FilledButton {
        objectName: "setupButton"
        text: ChatViewModel.localModelSetup.isPullingModel ? InspectorTexts.downloading : InspectorTexts.setupLocalModel
        symbol: "arrow.down.circle.fill"
        symbolSize: 12
        busy: ChatViewModel.localModelSetup.isPullingModel
        onClicked: ChatViewModel.localModelSetup.pull()
    }

    DecoratedText {
        objectName: "pullProgress"
        visible: ChatViewModel.localModelSetup.ollamaPullProgress.length > 0
        Layout.fillWidth: true
        gap: ChatViewModel.localModelSetup.isPullingModel ? 6 : 0
        text: ChatViewModel.localModelSetup.ollamaPullProgress
        label.wrapMode: Text.WrapAnywhere
        label.font.family: Theme.monoFamily
        label.font.pixelSize: Theme.textCaption
        label.color: text === InspectorTexts.modelReady ? Theme.success : Theme.textSecondary

        ProgressSpinner {
            visible: ChatViewModel.localModelSetup.isPullingModel
            width: visible ? 10 : 0
            size: 10
        }
    }

    RowLayout {
        objectName: "loadingModel"
        visible: ChatViewModel.localModelSetup.isLoadingModel
        spacing: 6

        ProgressSpinner {
            size: 10
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.focusable: false
            text: InspectorTexts.loadingModel
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textCaption
            font.bold: true
            font.letterSpacing: 1
            color: Theme.textTertiary
        }
    }

    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        objectName: "modelLoadError"
        visible: ChatViewModel.localModelSetup.modelLoadError.length > 0
        Layout.fillWidth: true
        text: ChatViewModel.localModelSetup.modelLoadError
        textFormat: Text.PlainText
        wrapMode: Text.WordWrap
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textCaption
        color: Theme.danger
    }

    SectionLabel {
        Layout.topMargin: 8
        text: InspectorTexts.howToSetUp
        font.letterSpacing: 1
    }

    Repeater {
        model: InspectorTexts.setupSteps

        DecoratedText {
            id: setupStep
            required property int index
            required property string modelData
            Layout.fillWidth: true
            gap: 0
            text: modelData
            label.font.pixelSize: Theme.textCaption
            label.color: Theme.textSecondary

            Text {
                width: 14
                text: setupStep.index + 1
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textCaption
                font.bold: true
                color: Theme.textSecondary
            }
        }
    }
}
