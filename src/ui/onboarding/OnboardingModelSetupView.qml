pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Inspector
import Emberglass.Theme

// The second page: choose the backend and enter the key, then NEXT (or skip).
Item {
    id: page

    // A cloud model needs a key before NEXT; the local one does not.
    readonly property bool needsApiKey: ChatViewModel.backends.activeBackend === AIBackend.Value.cloud
                                        && ChatViewModel.backends.cloudConfig.apiKey.trim().length === 0

    signal next()

    ColumnLayout {
        anchors.fill: parent
        anchors.topMargin: 36
        anchors.bottomMargin: 28
        spacing: 16

        OnboardingHeader {
            Layout.alignment: Qt.AlignHCenter
            symbol: "brain"
            title: OnboardingTexts.connectTitle
            subtitle: OnboardingTexts.connectSubtitle
        }

        ModelSettingsView {
            objectName: "onboardingModelSettings"
            embedded: true
            Layout.alignment: Qt.AlignHCenter
            Layout.fillHeight: true
            Layout.fillWidth: true
            Layout.maximumWidth: 520
            Layout.leftMargin: 24
            Layout.rightMargin: 24
        }

        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.focusable: false
            objectName: "apiKeyHint"
            visible: page.needsApiKey
            Layout.alignment: Qt.AlignHCenter
            Layout.maximumWidth: 520
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: OnboardingTexts.apiKeyHint
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textBody
            color: Theme.textTertiary
        }

        FilledButton {
            objectName: "nextButton"
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 180
            Layout.preferredHeight: 46
            radius: 12
            fontSize: Theme.textBody
            letterSpacing: 1.5
            text: OnboardingTexts.next
            symbol: "arrow.right"
            symbolSize: 14
            symbolAfterText: true
            enabled: !page.needsApiKey
            dimmedFill: Theme.tint(Theme.textTertiary, 0.45)
            onClicked: page.next()
        }

        AbstractButton {
            id: skip
            objectName: "skipButton"
            Layout.alignment: Qt.AlignHCenter
            padding: 4
            text: OnboardingTexts.skipForNow
            focusPolicy: Qt.TabFocus
            Accessible.onPressAction: if (enabled) clicked()
            onClicked: page.next()

            contentItem: Text {
                text: skip.text
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textSmall
                font.letterSpacing: 1.5
                color: skip.hovered ? Theme.textPrimary : Theme.textSecondary
            }
            background: null

            HoverHandler {
                cursorShape: Qt.PointingHandCursor
            }
            FocusRing {
                radius: 6
                shown: skip.visualFocus
            }
        }
    }
}
