import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Inspector
import Emberglass.Theme

// The third page: the agent is created through four questions, or pasted whole.
// The questionnaire holds the state; this page shows it and passes the input on.
Item {
    id: page

    property PersonaManager persona: ChatViewModel.persona
    property real timeScale: 1
    readonly property alias questionnaire: questionnaire

    signal completed()

    SoulQuestionnaire {
        id: questionnaire
        persona: page.persona
        answerDelay: Math.round(300 * page.timeScale)
        onSoulStored: page.completed()
        // The log only grows: new lines are added to the list as they come.
        onChatLogChanged: {
            for (let i = rows.count; i < chatLog.length; ++i)
                rows.append(chatLog[i])
        }
    }

    ListModel {
        id: rows
    }

    Component.onCompleted: questionnaire.begin()
    // Typing goes to the answer field once the page is in place (while it is
    // created, the page is not yet in the window and cannot take the focus).
    StackView.onActivated: input.forceActiveFocus()

    ColumnLayout {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.topMargin: 36
        anchors.bottomMargin: 28
        width: Math.min(560, parent.width - 48)
        spacing: 18

        OnboardingHeader {
            Layout.alignment: Qt.AlignHCenter
            symbol: "sparkles"
            title: OnboardingTexts.createTitle
            subtitle: OnboardingTexts.createSubtitle
        }

        ColumnLayout {
            objectName: "questionnaireMode"
            visible: !questionnaire.pasteMode
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 12

            ListView {
                id: log
                objectName: "soulChatLog"
                Layout.fillWidth: true
                Layout.fillHeight: true
                clip: true
                spacing: 14
                model: rows
                boundsBehavior: Flickable.StopAtBounds
                Accessible.role: Accessible.List
                Accessible.name: OnboardingTexts.soulLogName
                onCountChanged: Qt.callLater(scrollToNewest) // qmllint disable type
                // The preview card takes room from the log: the newest row stays in view.
                onHeightChanged: {
                    if (scrollAnimation.running)
                        scrollToNewest()
                    else
                        contentY = newestY()
                }

                function newestY() {
                    return Math.max(originY, originY + contentHeight - height)
                }

                function scrollToNewest() {
                    scrollAnimation.to = newestY()
                    scrollAnimation.restart()
                }

                NumberAnimation {
                    id: scrollAnimation
                    target: log
                    property: "contentY"
                    duration: 250 * page.timeScale
                    easing.type: Easing.InOutQuad
                }

                delegate: SoulChatRow {
                    width: ListView.view.width
                }
            }

            RowLayout {
                objectName: "inputRow"
                visible: !questionnaire.showPreview
                Layout.fillWidth: true
                spacing: 8

                TextField {
                    id: input
                    objectName: "soulInput"
                    Layout.fillWidth: true
                    text: questionnaire.inputText
                    // Typed, or set by assistive technology (not counted as typing).
                    onTextChanged: questionnaire.inputText = text
                    onAccepted: questionnaire.submit()
                    placeholderText: OnboardingTexts.typeHere
                    placeholderTextColor: Theme.textTertiary
                    padding: 10
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textLarge
                    color: Theme.textPrimary
                    selectByMouse: true
                    Accessible.name: OnboardingTexts.answerName
                    Accessible.description: OnboardingTexts.answerDescription

                    background: Rectangle {
                        radius: 10
                        color: Theme.surface
                        border.width: 1
                        border.color: input.activeFocus ? Theme.tint(Theme.accent, 0.45) : Theme.border

                        FocusRing {
                            radius: 12
                            shown: input.activeFocus && Keyboard.isKeyboardReason(input.focusReason)
                        }
                    }
                }
                FilledButton {
                    objectName: "sendButton"
                    Layout.preferredWidth: 34
                    Layout.preferredHeight: 34
                    padding: 0
                    radius: 10
                    symbol: "arrow.up"
                    symbolSize: 15
                    Accessible.name: OnboardingTexts.sendAnswer
                    dimmed: !questionnaire.canSubmit
                    dimmedFill: Theme.tint(Theme.textTertiary, 0.4)
                    onClicked: questionnaire.submit()
                }
            }

            AbstractButton {
                id: pasteLink
                objectName: "pasteLink"
                visible: !questionnaire.showPreview
                Layout.alignment: Qt.AlignHCenter
                padding: 4
                text: OnboardingTexts.pasteLink
                focusPolicy: Qt.TabFocus
                Accessible.onPressAction: if (enabled) clicked()
                onClicked: questionnaire.pasteMode = true

                contentItem: Row {
                    spacing: 6

                    Icon {
                        anchors.verticalCenter: parent.verticalCenter
                        name: "doc.on.clipboard"
                        size: 11
                        color: Theme.accent
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: pasteLink.text
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.textFootnote
                        font.underline: pasteLink.hovered
                        color: Theme.accent
                    }
                }
                background: null

                HoverHandler {
                    cursorShape: Qt.PointingHandCursor
                }
                FocusRing {
                    radius: 6
                    shown: pasteLink.visualFocus
                }
            }

            SoulPreviewCard {
                objectName: "soulPreview"
                visible: questionnaire.showPreview
                Layout.fillWidth: true
                answers: questionnaire.answers
                saveError: questionnaire.saveError
                onEnter: questionnaire.enterWithAnswers()
            }
        }

        SoulPasteView {
            objectName: "pasteMode"
            visible: questionnaire.pasteMode
            Layout.fillWidth: true
            Layout.fillHeight: true
            text: questionnaire.pastedSoul
            hasText: questionnaire.hasPastedSoul
            saveError: questionnaire.saveError
            onEdited: text => questionnaire.pastedSoul = text
            onBack: questionnaire.pasteMode = false
            onEnter: questionnaire.enterWithPastedSoul()
        }
    }
}
