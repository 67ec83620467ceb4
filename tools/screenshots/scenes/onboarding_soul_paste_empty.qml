import QtQuick
import Emberglass.Onboarding

// Paste mode before anything is pasted: ENTER EMBERGLASS is dimmed.
OnboardingView {
    id: onboarding
    width: 940
    height: 680

    Component.onCompleted: {
        onboarding.advance()
        onboarding.advance()
        page.questionnaire.pasteMode = true
    }
}
