import QtQuick
import QtQuick.Layouts
import Emberglass.Inspector
import Emberglass.Theme

// A soul pasted whole: the editor, BACK to the questionnaire and ENTER EMBERGLASS
// (dimmed while empty, yet it still works: an empty paste stores an empty soul).
ColumnLayout {
    id: paste

    property string text
    property bool hasText: false
    property string saveError

    signal edited(string text)
    signal back()
    signal enter()

    spacing: 10

    Text {
        Accessible.role: Accessible.Heading
        Accessible.name: text
        Accessible.focusable: false
        text: OnboardingTexts.pasteTitle
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textBody
        font.bold: true
        font.letterSpacing: 1.5
        color: Theme.textPrimary
    }
    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        Layout.fillWidth: true
        text: OnboardingTexts.pasteHint
        wrapMode: Text.WordWrap
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textBody
        color: Theme.textSecondary
    }
    EditorArea {
        objectName: "pastedSoulEditor"
        Layout.fillWidth: true
        Layout.fillHeight: true
        monospaced: true
        accessibleName: OnboardingTexts.pastedSoulName
        accessibleDescription: OnboardingTexts.pastedSoulDescription
        text: paste.text
        onEdited: text => paste.edited(text)
    }
    ErrorLine {
        objectName: "saveError"
        horizontalAlignment: Text.AlignHCenter
        text: paste.saveError.length > 0 ? InspectorTexts.couldNotSave(paste.saveError) : ""
    }
    RowLayout {
        Layout.alignment: Qt.AlignHCenter
        Layout.topMargin: 6
        spacing: 12

        FilledButton {
            objectName: "pasteBackButton"
            Layout.preferredWidth: 100
            Layout.preferredHeight: 42
            radius: 10
            fontSize: Theme.textFootnote
            text: OnboardingTexts.back
            fill: Theme.surface
            labelColor: Theme.textSecondary
            borderColor: Theme.border
            onClicked: paste.back()
        }
        FilledButton {
            objectName: "pasteEnterButton"
            Layout.preferredWidth: 180
            Layout.preferredHeight: 42
            radius: 10
            fontSize: Theme.textFootnote
            letterSpacing: 1
            text: OnboardingTexts.enter
            dimmed: !paste.hasText
            dimmedFill: Theme.tint(Theme.textTertiary, 0.4)
            onClicked: paste.enter()
        }
    }
}
