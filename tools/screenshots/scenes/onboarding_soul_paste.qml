import QtQuick
import Emberglass.Onboarding

// The soul step in paste mode with a soul pasted.
OnboardingView {
    id: onboarding
    width: 940
    height: 680

    Component.onCompleted: {
        onboarding.advance()
        onboarding.advance()
        const questionnaire = page.questionnaire
        questionnaire.pasteMode = true
        questionnaire.pastedSoul = "# Lumen\n\nYou are Lumen, a calm research companion.\n"
            + "You answer briefly and cite your sources.\n"
    }
}
