import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// One conversation in the sidebar: its title and how long ago it was updated.
// A click selects it (and leaves the keyboard focus where it was); its context
// menu deletes it.
Item {
    id: row

    required property string conversationId
    required property string title
    required property string titleMarkup
    required property string excerptMarkup
    required property date updatedAt
    property bool isSelected: false
    // Moves on now and then, so that the date is worded again.
    property int clockTick: 0
    // The list has the keyboard focus and this is its selected row.
    property bool showsFocus: false
    // Worded against the clock as it is read, so never ahead of the date.
    readonly property string dateText: {
        row.clockTick // read again on every tick
        return DisplayFormat.relativeDate(row.updatedAt, new Date())
    }

    // The title being edited in place: Return keeps it, Escape leaves it as it was.
    property bool renaming: false

    signal selected()
    signal deleteRequested()
    signal renameRequested(string title)
    signal exportRequested()
    // Renaming ended; the list takes the keyboard focus back.
    signal renameFinished()

    function openMenu() {
        menu.popup(row, 10, row.height / 2)
    }

    function startRename() {
        renaming = true
        nameField.text = row.title
        nameField.selectAll()
        nameField.forceActiveFocus(Qt.ShortcutFocusReason)
    }

    function finishRename(keep) {
        if (!renaming) {
            return
        }
        renaming = false
        // The hidden field gives up the focus, or the list's focus would come
        // back to it and it would swallow Delete, Home and End.
        nameField.focus = false
        if (keep) {
            row.renameRequested(nameField.text)
        }
        row.renameFinished()
    }

    implicitHeight: 46

    Accessible.role: Accessible.ListItem
    Accessible.name: row.title
    Accessible.description: Texts.updatedPrefix + row.dateText
    Accessible.selectable: true
    Accessible.selected: row.isSelected

    Rectangle {
        objectName: "selection"
        anchors.fill: parent
        anchors.leftMargin: 2
        anchors.rightMargin: 2
        anchors.topMargin: 1
        anchors.bottomMargin: 1
        visible: row.isSelected
        radius: 10
        color: Theme.surface
        border.color: Theme.border
        border.width: 1
    }

    Row {
        x: 10
        anchors.verticalCenter: parent.verticalCenter
        spacing: 10

        Rectangle {
            objectName: "rowBadge"
            anchors.verticalCenter: parent.verticalCenter
            width: 24
            height: 24
            radius: 5
            color: row.isSelected ? Theme.accent : Theme.surfaceAlt
            Icon {
                anchors.centerIn: parent
                name: "bubble.left.fill"
                size: 9
                color: row.isSelected ? Theme.onFill : Theme.textTertiary
            }
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2
            width: row.width - 10 - 24 - 10 - 10

            Text {
                objectName: "rowTitle"
                width: parent.width
                visible: !row.renaming
                // Matches of a search in bold.
                text: row.titleMarkup
                textFormat: Text.StyledText
                elide: Text.ElideRight
                maximumLineCount: 1
                font.family: Theme.fontFamily
                // 12.5 points; pixel sizes are whole, point sizes need not be.
                font.pointSize: 12.5 * 72 / (Screen.logicalPixelDensity * 25.4)
                font.weight: row.isSelected ? Font.Bold : Font.Medium
                color: Theme.textPrimary
            }

            TextField {
                id: nameField
                objectName: "nameField"
                width: parent.width
                visible: row.renaming
                padding: 2
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCallout
                color: Theme.textPrimary
                Accessible.name: Texts.renameFieldName
                Accessible.description: Texts.renameFieldDescription
                background: Rectangle {
                    radius: 4
                    color: Theme.surface
                    border.width: 1
                    border.color: Theme.accent
                }
                Keys.onReturnPressed: row.finishRename(true)
                Keys.onEnterPressed: row.finishRename(true)
                Keys.onEscapePressed: row.finishRename(false)
                onActiveFocusChanged: if (!activeFocus) row.finishRename(true)
            }

            Text {
                objectName: "rowExcerpt"
                width: parent.width
                visible: row.excerptMarkup.length > 0
                text: row.excerptMarkup
                textFormat: Text.StyledText
                elide: Text.ElideRight
                maximumLineCount: 1
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCaption
                color: Theme.textSecondary
            }

            Text {
                objectName: "rowDate"
                visible: row.excerptMarkup.length === 0
                text: row.dateText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textCaption
                color: Theme.textTertiary
            }
        }
    }

    TapHandler {
        acceptedButtons: Qt.LeftButton
        onTapped: row.selected()
    }

    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: (point) => menu.popup(point.position.x, point.position.y)
    }

    FocusRing {
        anchors.margins: 0
        radius: 10
        shown: row.showsFocus
    }

    Menu {
        id: menu
        objectName: "rowMenu"
        title: row.title

        MenuItem {
            id: renameItem
            objectName: "renameItem"
            text: Texts.renameItem
            onTriggered: row.startRename()
            contentItem: Text {
                text: renameItem.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCallout
                color: Theme.textPrimary
                verticalAlignment: Text.AlignVCenter
                leftPadding: 4
            }
            background: Rectangle {
                radius: 4
                color: renameItem.highlighted ? Theme.surfaceAlt : "transparent"
            }
        }

        MenuItem {
            id: exportItem
            objectName: "exportItem"
            text: Texts.exportItem
            onTriggered: row.exportRequested()
            contentItem: Text {
                text: exportItem.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCallout
                color: Theme.textPrimary
                verticalAlignment: Text.AlignVCenter
                leftPadding: 4
            }
            background: Rectangle {
                radius: 4
                color: exportItem.highlighted ? Theme.surfaceAlt : "transparent"
            }
        }

        MenuItem {
            id: deleteItem
            objectName: "deleteItem"
            text: Texts.deleteItem
            onTriggered: row.deleteRequested()
            contentItem: Text {
                text: deleteItem.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCallout
                color: Theme.danger
                verticalAlignment: Text.AlignVCenter
                leftPadding: 4
            }
            background: Rectangle {
                radius: 4
                color: deleteItem.highlighted ? Theme.tint(Theme.danger, 0.1)
                                          : "transparent"
            }
        }

        background: Rectangle {
            implicitWidth: 190
            radius: 8
            color: Theme.surface
            border.color: Theme.borderStrong
            border.width: 1
        }
    }
}
