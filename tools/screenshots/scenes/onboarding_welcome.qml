import QtQuick
import Emberglass.Onboarding

// The first onboarding page once it has faded in.
OnboardingView {
    width: 940
    height: 680
}
