import QtQuick
import QtQuick.Layouts
import Emberglass.Inspector
import Emberglass.Theme

// The first page: the product, its three features and GET STARTED.
Item {
    id: page

    property real timeScale: 1
    property bool appear: false

    signal next()

    Component.onCompleted: appearTimer.start()

    // The title and the features rise into place after a short pause.
    Timer {
        id: appearTimer
        interval: 150 * page.timeScale
        onTriggered: page.appear = true
    }

    ColumnLayout {
        anchors.centerIn: parent
        width: Math.min(500, parent.width - 48)
        spacing: 36

        RisingColumn {
            objectName: "titleBlock"
            Layout.alignment: Qt.AlignHCenter
            spacing: 12
            shown: page.appear
            rise: 12
            duration: 700 * page.timeScale

            Text {
                Layout.alignment: Qt.AlignHCenter
                text: OnboardingTexts.productTitle
                Accessible.role: Accessible.Heading
                Accessible.name: text
                Accessible.focusable: false
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textDisplay
                font.bold: true
                font.letterSpacing: 6
                color: Theme.textPrimary
            }
            Rectangle {
                Layout.alignment: Qt.AlignHCenter
                implicitWidth: 80
                implicitHeight: 2
                radius: 1
                color: Theme.border
            }
            Text {
                Layout.alignment: Qt.AlignHCenter
                text: OnboardingTexts.productSubtitle
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.focusable: false
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textSmall
                font.letterSpacing: 3
                color: Theme.textSecondary
            }
        }

        RisingColumn {
            objectName: "featureList"
            Layout.fillWidth: true
            spacing: 18
            shown: page.appear
            rise: 16
            duration: 700 * page.timeScale

            Repeater {
                model: OnboardingTexts.features

                FeatureRow {
                    required property var modelData
                    Layout.fillWidth: true
                    number: modelData.number
                    symbol: modelData.symbol
                    title: modelData.title
                    text: modelData.text
                }
            }
        }

        FilledButton {
            objectName: "getStartedButton"
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 220
            Layout.preferredHeight: 48
            radius: 12
            fontSize: Theme.textBody
            letterSpacing: 1.5
            text: OnboardingTexts.getStarted
            symbol: "arrow.right"
            symbolSize: 14
            symbolAfterText: true
            onClicked: page.next()
        }
    }
}
