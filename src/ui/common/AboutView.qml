import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Common
import Emberglass.Theme

// The about panel's content. It lives in Emberglass.Common (not Emberglass.Shell)
// so that the inspector can embed it in its scroll view with
// `import Emberglass.Common` without importing the shell that imports it.
ColumnLayout {
    id: about

    spacing: 12

    Text {
        Accessible.role: Accessible.Heading
        Accessible.name: text
        Accessible.focusable: false
        text: Texts.aboutHeading
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textCaption
        font.bold: true
        font.letterSpacing: 2
        color: Theme.textTertiary
    }

    Rectangle {
        Layout.fillWidth: true
        implicitHeight: card.implicitHeight + 32
        radius: 12
        color: Theme.surface
        border.color: Theme.border
        border.width: 1

        ColumnLayout {
            id: card
            anchors.fill: parent
            anchors.margins: 16
            spacing: 14

            RowLayout {
                spacing: 14
                AppIconArtwork {
                    size: 56
                    cornerRadius: 13
                }
                ColumnLayout {
                    spacing: 4
                    Layout.fillWidth: true
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        Accessible.focusable: false
                        text: Texts.aboutName
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.textHeadline
                        font.weight: Font.DemiBold
                        color: Theme.textPrimary
                    }
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        Accessible.focusable: false
                        Layout.fillWidth: true
                        text: Texts.aboutTagline
                        wrapMode: Text.WordWrap
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.textBody
                        color: Theme.textSecondary
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                implicitHeight: 1
                color: Theme.border
            }

            RowLayout {
                Layout.fillWidth: true
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    Accessible.focusable: false
                    text: Texts.versionLabel
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.textCaption
                    font.bold: true
                    font.letterSpacing: 1
                    color: Theme.textTertiary
                }
                Item { Layout.fillWidth: true }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    Accessible.focusable: false
                    objectName: "versionValue"
                    text: Texts.versionValue
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textLarge
                    color: Theme.textPrimary
                }
            }
        }
    }

    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        Layout.fillWidth: true
        text: Texts.makerStatement
        elide: Text.ElideRight
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textFootnote
        color: Theme.textSecondary
    }

    AbstractButton {
        id: link
        objectName: "makerLink"
        padding: 0
        text: Texts.makerSiteLabel
        focusPolicy: Qt.TabFocus
        Accessible.onPressAction: if (enabled) clicked()
        onClicked: Qt.openUrlExternally(Texts.makerSiteURL)
        Accessible.description: Texts.aboutLinkDescription

        contentItem: Text {
            text: link.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textFootnote
            font.weight: Font.Medium
            font.underline: link.hovered
            color: Theme.accent
        }
        background: null

        HoverHandler {
            cursorShape: Qt.PointingHandCursor
        }
        FocusRing {
            radius: 4
            shown: link.visualFocus
        }
    }
}
