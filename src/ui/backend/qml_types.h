#pragma once

// The C++ types QML sees, declared here so that core/ stays free of QML.

#include "app_context.h"
#include "core/chat_view_model.h"
#include "core/cloud_config.h"
#include "core/conversation_list_model.h"
#include "core/message_list_model.h"
#include "persona/memory_file.h"
#include "persona/persona_manager.h"

#include <QJSEngine>
#include <QQmlEngine>

// The controller, as the singleton `ChatViewModel`; C++ owns it.
struct ChatViewModelForeign {
    Q_GADGET
    QML_FOREIGN(ChatViewModel)
    QML_NAMED_ELEMENT(ChatViewModel)
    QML_SINGLETON

public:
    static ChatViewModel* create(QQmlEngine*, QJSEngine*) {
        ChatViewModel* viewModel = AppContext::viewModel();
        QJSEngine::setObjectOwnership(viewModel, QJSEngine::CppOwnership);
        return viewModel;
    }
};

struct PersonaManagerForeign {
    Q_GADGET
    QML_FOREIGN(PersonaManager)
    QML_NAMED_ELEMENT(PersonaManager)
    QML_UNCREATABLE("owned by the controller")
};

struct ConversationListModelForeign {
    Q_GADGET
    QML_FOREIGN(ConversationListModel)
    QML_NAMED_ELEMENT(ConversationListModel)
    QML_UNCREATABLE("owned by the controller")
};

struct MessageListModelForeign {
    Q_GADGET
    QML_FOREIGN(MessageListModel)
    QML_NAMED_ELEMENT(MessageListModel)
    QML_UNCREATABLE("owned by the controller")
};

struct CloudConfigForeign {
    Q_GADGET
    QML_FOREIGN(CloudConfig)
    QML_VALUE_TYPE(cloudConfig)
};

struct MemoryFileForeign {
    Q_GADGET
    QML_FOREIGN(MemoryFile)
    QML_VALUE_TYPE(memoryFile)
};
