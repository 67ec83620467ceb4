import QtQuick
import Emberglass.Shell

// The splash once its fades have ended (they end at 1.4 s).
SplashView {
    width: 940
    height: 680
    property int settleTime: 1600
}
