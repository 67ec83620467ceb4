pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// What is wrong or under way with the model, each line only while it applies.
Column {
    id: banners

    SymbolBanner {
        objectName: "unavailableBanner"
        width: banners.width
        visible: !ChatViewModel.backends.serviceAvailable
        symbol: "exclamationmark"
        tint: Theme.warning
        text: ChatViewModel.backends.activeBackend === AIBackend.Value.local ? Texts.localUnavailable
                                                                 : Texts.cloudUnreachable
    }

    SymbolBanner {
        objectName: "modelNotOfferedBanner"
        width: banners.width
        visible: ChatViewModel.backends.activeBackend !== AIBackend.Value.local && ChatViewModel.backends.modelNotOffered
        symbol: "exclamationmark"
        tint: Theme.warning
        text: Texts.modelNotOffered(ChatViewModel.backends.cloudConfig.model, ChatViewModel.backends.cloudConfig.provider)
    }

    Item {
        objectName: "loadingBanner"
        width: banners.width
        implicitHeight: loadingRow.height + 16
        visible: ChatViewModel.localModelSetup.isLoadingModel

        Row {
            id: loadingRow
            anchors.centerIn: parent
            spacing: 8

            BusyIndicator {
                anchors.verticalCenter: parent.verticalCenter
                implicitWidth: 14
                implicitHeight: 14
                padding: 0
                running: parent.parent.visible
                palette.dark: Theme.textTertiary
            }

            Text {
                objectName: "bannerText"
                anchors.verticalCenter: parent.verticalCenter
                text: Texts.loadingModel
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textCaption
                font.bold: true
                font.letterSpacing: 1
                color: Theme.textTertiary
            }
        }
    }

    SymbolBanner {
        objectName: "settingsSaveErrorBanner"
        width: banners.width
        visible: ChatViewModel.settingsSaveError.length > 0
        symbol: "xmark"
        tint: Theme.danger
        text: Texts.couldNotSaveSettings(ChatViewModel.settingsSaveError)
    }

    SymbolBanner {
        objectName: "keptConversationsBanner"
        width: banners.width
        visible: ChatViewModel.keptConversations.state === KeptConversationsState.Value.failed
        symbol: "xmark"
        tint: Theme.danger
        text: Texts.keptUnusable(ChatViewModel.keptConversations.databasePath,
                                 ChatViewModel.keptConversations.problem)
    }

    SymbolBanner {
        objectName: "loadErrorBanner"
        width: banners.width
        visible: ChatViewModel.localModelSetup.modelLoadError.length > 0
        symbol: "xmark"
        tint: Theme.danger
        text: ChatViewModel.localModelSetup.modelLoadError
    }
}
