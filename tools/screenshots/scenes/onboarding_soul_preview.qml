import QtQuick
import "parts"

// The soul step after the four answers: the preview card and ENTER EMBERGLASS.
AnsweredOnboarding {
    width: 940
    height: 760
    answers: ["Nova", "female", "20s", "research"]
    readonly property bool ready: questionnaire !== null && questionnaire.showPreview
}
