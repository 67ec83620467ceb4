pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The model name: typed freely (an endpoint may list nothing) or chosen from
// the models the provider lists, with a button that asks the provider again.
// When the provider lists its models and this one is not among them, a warning
// says so; nothing changes by itself. From the keyboard the field is one Tab
// stop (the text inside it takes the focus; Up and Down go through the listed
// models), and the button another.
ColumnLayout {
    id: field

    property alias input: editor // the text field, as in SettingsField
    property alias choices: combo
    readonly property string model: ChatViewModel.backends.cloudConfig.model

    spacing: 6

    Text {
        text: InspectorTexts.modelLabel
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textCaption
        font.weight: Font.DemiBold
        color: Theme.textSecondary
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 6

        ComboBox {
            id: combo
            objectName: "modelChoices"
            Layout.fillWidth: true
            editable: true
            model: ChatViewModel.backends.servedModels
            Accessible.role: Accessible.ComboBox
            Accessible.name: InspectorTexts.modelLabel
            Accessible.description: InspectorTexts.modelDescription
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textBody
            // The configured model is the current choice when the provider lists it.
            currentIndex: Array.from(ChatViewModel.backends.servedModels).indexOf(field.model)
            // Picking a listed model (mouse or arrow keys) saves it like typing does.
            onActivated: index => ChatViewModel.backends.setCloudModel(textAt(index))
            // The text stops where the arrow's strip starts.
            rightPadding: indicator.visible ? indicator.width : 0

            function togglePopup() {
                if (popup.visible) {
                    popup.close()
                } else if (count > 0) {
                    popup.open()
                }
            }

            // Reached by id from the frame and through `input`: built at once, not deferred.
            contentItem: TextField { // qmllint disable deferred-property-id
                id: editor
                // Follows the setting; typing saves on every change, as the other fields do.
                text: field.model
                placeholderText: InspectorTexts.modelPlaceholder
                placeholderTextColor: Theme.textTertiary
                leftPadding: 14 // as the other fields' text
                rightPadding: 6
                topPadding: 10
                bottomPadding: 10
                font: combo.font
                color: Theme.textPrimary
                selectByMouse: true
                selectionColor: Theme.selection(Theme.surface)
                selectedTextColor: Theme.textPrimary
                background: null
                Accessible.role: Accessible.EditableText
                Accessible.name: InspectorTexts.modelLabel
                onTextEdited: ChatViewModel.backends.setCloudModel(text)
                // Alt+Down and F4 open the list, as in any combo box.
                Keys.onPressed: event => {
                    if ((event.key === Qt.Key_Down && (event.modifiers & Qt.AltModifier))
                            || event.key === Qt.Key_F4) {
                        combo.togglePopup()
                        event.accepted = true
                    }
                }
            }

            delegate: ItemDelegate {
                id: choice
                required property string modelData
                required property int index
                width: combo.width
                text: modelData
                highlighted: combo.highlightedIndex === index
                leftPadding: 14
                contentItem: Text {
                    text: choice.modelData
                    elide: Text.ElideRight
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textBody
                    font.weight: choice.modelData === field.model ? Font.DemiBold : Font.Normal
                    color: Theme.textPrimary
                }
                background: Rectangle {
                    color: choice.highlighted ? Theme.surfaceAlt : Theme.surface
                }
            }

            popup.background: Rectangle {
                radius: 10
                color: Theme.surface
                border.width: 1
                border.color: Theme.borderStrong
            }

            // The whole strip around the arrow opens the list (the combo box opens it
            // on a press on its indicator), not the arrow's pixels alone.
            indicator: Item {
                objectName: "modelChoicesArrow"
                x: combo.width - width
                width: 34
                height: combo.height
                visible: combo.count > 0

                Icon {
                    anchors.centerIn: parent
                    name: "chevron.down"
                    size: 10
                    color: Theme.textSecondary
                }

                HoverHandler {
                    cursorShape: Qt.PointingHandCursor
                }
            }

            background: Rectangle {
                implicitHeight: 36
                radius: 10
                color: Theme.surface
                border.width: 1
                border.color: combo.activeFocus || editor.activeFocus
                              ? Theme.tint(Theme.accent, 0.45)
                              : Theme.border

                FocusRing {
                    objectName: "modelFocusRing"
                    radius: 12
                    shown: combo.visualFocus
                           || (editor.activeFocus && Keyboard.isKeyboardReason(editor.focusReason))
                }
            }
        }

        AbstractButton {
            id: refresh
            objectName: "refreshModels"
            implicitWidth: 36
            implicitHeight: 36
            // Reached with Tab; a click leaves the keyboard focus where it was.
            focusPolicy: Qt.TabFocus
            Accessible.role: Accessible.Button
            Accessible.name: InspectorTexts.refreshModels
            Accessible.description: InspectorTexts.refreshModelsDescription
            Accessible.onPressAction: if (enabled) clicked()
            ToolTip.visible: hovered
            ToolTip.delay: 600
            ToolTip.text: InspectorTexts.refreshModels
            onClicked: ChatViewModel.backends.refreshServedModels()

            contentItem: Item {
                Icon {
                    anchors.centerIn: parent
                    name: "arrow.clockwise"
                    size: 12
                    color: Theme.textSecondary
                }
            }

            background: Rectangle {
                radius: 10
                color: refresh.hovered || refresh.pressed ? Theme.surfaceAlt : Theme.surface
                border.width: 1
                border.color: Theme.border
            }

            HoverHandler {
                cursorShape: Qt.PointingHandCursor
            }

            FocusRing {
                radius: 12
                shown: refresh.visualFocus
            }
        }
    }

    Text {
        objectName: "modelWarning"
        Layout.fillWidth: true
        visible: ChatViewModel.backends.modelNotOffered
        text: InspectorTexts.modelNotOffered(field.model, ChatViewModel.backends.cloudConfig.provider)
        wrapMode: Text.Wrap
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textSmall
        color: Theme.warning
    }
}
