import QtQuick
import Emberglass.Backend
import Emberglass.Onboarding

// The onboarding at its soul step, giving `answers` one by one as the questions
// are asked. Kept out of the scenes' folder: it is no scene of its own.
OnboardingView {
    id: onboarding

    property var answers: []
    readonly property var questionnaire: page && page.questionnaire !== undefined ? page.questionnaire : null

    timeScale: 0.05

    Component.onCompleted: {
        advance()
        advance()
        answerNext()
    }

    function answerNext() {
        const log = questionnaire.chatLog
        const given = log.filter(line => line.role === SoulQuestionnaire.Speaker.user).length
        if (given < answers.length && log[log.length - 1].role === SoulQuestionnaire.Speaker.agent) {
            questionnaire.inputText = answers[given]
            questionnaire.submit()
        }
    }

    Connections {
        target: onboarding.questionnaire
        function onChatLogChanged() { onboarding.answerNext() }
    }
}
