import QtQuick
import Emberglass.Onboarding

// The soul step halfway: name and gender given, the age question asked.
OnboardingView {
    id: onboarding
    width: 940
    height: 680
    timeScale: 0.05
    readonly property var answers: ["Nova", "female"]
    readonly property bool ready: page && page.questionnaire !== undefined
                                  && page.questionnaire.chatLog.length === 2 * answers.length + 1

    Component.onCompleted: {
        onboarding.advance()
        onboarding.advance()
        answerNext()
    }

    // Answers each question once it has been asked.
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
