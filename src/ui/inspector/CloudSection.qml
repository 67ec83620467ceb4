import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The cloud provider, its key, model and address, and the connection test.
// Each field saves as it is typed, so the client always holds what is shown;
// a save that fails says why under the fields (what was typed stays in use).
ColumnLayout {
    spacing: 18

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 6

        SectionLabel {
            text: InspectorTexts.provider
        }
        // Two columns where there is room, so the key field stays in view.
        GridLayout {
            Layout.fillWidth: true
            columns: width >= 460 ? 2 : 1
            columnSpacing: 8
            rowSpacing: 6

            Repeater {
                model: ModelChoices.providers

                ProviderRow {
                    required property int modelData
                    objectName: "provider" + provider
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1 // equal columns
                    provider: ModelChoices.providerLabel(modelData)
                    selected: ChatViewModel.backends.cloudConfig.preset === modelData
                    onClicked: ChatViewModel.backends.switchProvider(modelData)
                }
            }
        }
    }

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 12

        SectionLabel {
            text: InspectorTexts.apiConfiguration
        }
        SettingsField {
            objectName: "apiKeyField"
            Layout.fillWidth: true
            label: InspectorTexts.apiKeyLabel
            placeholder: InspectorTexts.apiKeyPlaceholder
            secret: true
            fontSize: Theme.textFootnote
            value: ChatViewModel.backends.cloudConfig.apiKey
            onEdited: text => ChatViewModel.backends.setCloudApiKey(text)
        }
        ModelField {
            objectName: "modelField"
            Layout.fillWidth: true
        }
        SettingsField {
            objectName: "baseUrlField"
            Layout.fillWidth: true
            label: InspectorTexts.baseUrlLabel
            placeholder: InspectorTexts.baseUrlPlaceholder
            value: ChatViewModel.backends.cloudConfig.baseURL
            onEdited: text => ChatViewModel.backends.setCloudBaseURL(text)
        }

        ErrorLine {
            objectName: "settingsSaveError"
            text: ChatViewModel.settingsSaveError.length > 0
                  ? Texts.couldNotSaveSettings(ChatViewModel.settingsSaveError) : ""
        }

        RowLayout {
            spacing: 10

            FilledButton {
                objectName: "testConnectionButton"
                text: InspectorTexts.testConnection
                symbol: "antenna.radiowaves.left.and.right"
                onClicked: ChatViewModel.backends.testConnection()
            }
            Text {
                objectName: "connectedLabel"
                visible: ChatViewModel.backends.serviceChecked && ChatViewModel.backends.serviceAvailable
                text: InspectorTexts.connected
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCaption
                color: Theme.success
            }
        }
    }
}
