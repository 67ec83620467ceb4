import QtQuick
import "parts"

// The soul step halfway: name and gender given, the age question asked.
AnsweredOnboarding {
    width: 940
    height: 680
    answers: ["Nova", "female"]
    readonly property bool ready: questionnaire !== null && questionnaire.chatLog.length === 2 * answers.length + 1
}
