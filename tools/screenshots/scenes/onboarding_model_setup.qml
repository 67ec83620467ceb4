import QtQuick
import Emberglass.Backend
import Emberglass.Onboarding

// The model step with the cloud backend and no key yet: the hint shows and NEXT waits.
OnboardingView {
    id: onboarding
    width: 940
    height: 680

    Component.onCompleted: {
        ChatViewModel.backends.setCloudApiKey("")
        onboarding.advance()
    }
}
