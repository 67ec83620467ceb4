import QtQuick
import Emberglass.Onboarding

// The soul step after the four answers: the preview card and ENTER EMBERGLASS.
OnboardingView {
    id: onboarding
    width: 940
    height: 760
    timeScale: 0.05
    readonly property var answers: ["Nova", "female", "20s", "research"]
    readonly property bool ready: page && page.questionnaire !== undefined && page.questionnaire.showPreview

    Component.onCompleted: {
        onboarding.advance()
        onboarding.advance()
        answerNext()
    }

    function answerNext() {
        const questionnaire = page.questionnaire
        const given = questionnaire.chatLog.filter(line => line.role === "user").length
        if (given < answers.length && questionnaire.chatLog[questionnaire.chatLog.length - 1].role === "system") {
            questionnaire.inputText = answers[given]
            questionnaire.submit()
        }
    }

    Connections {
        target: onboarding.page && onboarding.page.questionnaire !== undefined ? onboarding.page.questionnaire : null
        function onChatLogChanged() { onboarding.answerNext() }
    }
}
