pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Theme

// The backend choice and its settings. Embedded (inspector, onboarding) it fills
// what it is given; as a sheet it has a header and Escape dismisses it.
Rectangle {
    id: view

    property bool embedded: true
    // The mode whose settings are shown: the active backend, or the one the user
    // just chose while it is still loading or failed to load, so that its
    // progress, its error and the download button can be seen.
    property int shownBackend: ChatViewModel.backends.activeBackend

    signal dismissed()

    function choose(backend) {
        shownBackend = backend
        ChatViewModel.backends.switchBackend(backend)
    }

    color: Theme.background
    implicitWidth: embedded ? body.implicitWidth : Math.max(480, body.implicitWidth)
    implicitHeight: embedded ? body.implicitHeight : Math.max(420, header.implicitHeight + body.implicitHeight)

    Connections {
        target: ChatViewModel.backends
        function onActiveBackendChanged() {
            view.shownBackend = ChatViewModel.backends.activeBackend
        }
    }

    Shortcut {
        sequence: "Escape"
        enabled: !view.embedded && view.visible
        onActivated: view.dismissed()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        ColumnLayout {
            id: header
            visible: !view.embedded
            Layout.fillWidth: true
            spacing: 0

            PanelHeader {
                objectName: "sheetHeader"
                Layout.fillWidth: true
                Layout.leftMargin: 20
                Layout.rightMargin: 20
                Layout.topMargin: 14
                Layout.bottomMargin: 14
                symbol: "gearshape.fill"
                title: InspectorTexts.modelSettingsTitle
                subtitle: InspectorTexts.modelSettingsSubtitle
                titleSize: Theme.textBody
                subtitleSize: Theme.textCaption
                closeButton.ToolTip.text: ""
                onCloseRequested: view.dismissed()
            }
            Rectangle {
                Layout.fillWidth: true
                implicitHeight: 1
                color: Theme.border
            }
        }

        ScrollView {
            id: body
            objectName: "modelSettingsScroll"
            Layout.fillWidth: true
            Layout.fillHeight: true
            // 16 above, 16 + 28 below the sections.
            contentWidth: availableWidth
            contentHeight: sections.implicitHeight + 60
            implicitWidth: sections.implicitWidth + 40
            implicitHeight: contentHeight
            // The bar shows whenever there is more below, not only while scrolling.
            ScrollBar.vertical: ViewScrollBar {
                view: body
                scrolls: InspectorTexts.modelSettingsName
                policy: body.contentHeight > body.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
            }
            ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

            FocusInView {
                flickable: body.contentItem as Flickable
            }

            ColumnLayout {
                id: sections
                // Centred, no wider than a form reads well.
                width: Math.min(body.availableWidth - 40, Theme.formWidth)
                x: Math.round((body.availableWidth - width) / 2)
                y: 16
                spacing: 18

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 8

                    SectionLabel {
                        text: InspectorTexts.mode
                    }
                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 8

                        Repeater {
                            model: ModelChoices.backends

                            FilledButton {
                                id: modeButton
                                required property int modelData
                                readonly property bool active: ChatViewModel.backends.activeBackend === modelData
                                objectName: "mode" + text.replace(" ", "")
                                Layout.fillWidth: true
                                text: ModelChoices.backendLabel(modelData)
                                fontSize: Theme.textSmall
                                verticalPadding: 8
                                fill: active ? Theme.textPrimary : Theme.surface
                                labelColor: active ? Theme.onFill : Theme.textSecondary
                                // The mode being set up but not yet in use is outlined.
                                borderColor: active ? "transparent"
                                                    : view.shownBackend === modelData
                                                      ? Theme.tint(Theme.accent, 0.6)
                                                      : Theme.border
                                onClicked: view.choose(modelData)
                                // Checkable, so that screen readers hear which mode is on.
                                Accessible.onToggleAction: if (enabled) clicked()
                                checkable: true
                                checked: active
                                onToggled: checked = Qt.binding(() => modeButton.active)
                            }
                        }
                    }
                }

                CloudSection {
                    objectName: "cloudSection"
                    visible: view.shownBackend === AIBackend.Value.cloud
                    Layout.fillWidth: true
                }

                LocalModelSection {
                    objectName: "localSection"
                    visible: view.shownBackend === AIBackend.Value.local
                    Layout.fillWidth: true
                }
            }
        }
    }
}
