#pragma once

// The C++ types QML sees, declared here so that core/ stays free of QML.

#include "app_context.h"
#include "core/ai_backend.h"
#include "core/chat_view_model.h"
#include "core/cloud_config.h"
#include "core/conversation.h"
#include "core/conversation_export.h"
#include "core/conversation_filter_model.h"
#include "core/conversation_keeper.h"
#include "core/conversation_list_model.h"
#include "core/conversation_search.h"
#include "core/deletion_undo.h"
#include "core/local_model_setup.h"
#include "core/message_actions.h"
#include "core/message_list_model.h"
#include "core/model_backends.h"
#include "core/preferences.h"
#include "core/tool_approval.h"
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

struct ModelBackendsForeign {
    Q_GADGET
    QML_FOREIGN(ModelBackends)
    QML_NAMED_ELEMENT(ModelBackends)
    QML_UNCREATABLE("owned by the controller")
};

struct ToolApprovalForeign {
    Q_GADGET
    QML_FOREIGN(ToolApproval)
    QML_NAMED_ELEMENT(ToolApproval)
    QML_UNCREATABLE("owned by the controller")
};

struct LocalModelSetupForeign {
    Q_GADGET
    QML_FOREIGN(LocalModelSetup)
    QML_NAMED_ELEMENT(LocalModelSetup)
    QML_UNCREATABLE("owned by the controller")
};

// The enumerations, read in QML as `AIBackend.Value.local`.
namespace AIBackendForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(AIBackendType)
QML_NAMED_ELEMENT(AIBackend)
} // namespace AIBackendForeign

namespace InspectorSidebarPanelForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(InspectorSidebarPanelType)
QML_NAMED_ELEMENT(InspectorSidebarPanel)
} // namespace InspectorSidebarPanelForeign

namespace KeptConversationsStateForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(KeptConversationsStateType)
QML_NAMED_ELEMENT(KeptConversationsState)
} // namespace KeptConversationsStateForeign

namespace RoleForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(RoleType)
QML_NAMED_ELEMENT(Role)
} // namespace RoleForeign

namespace CloudProviderPresetForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(CloudProviderPresetType)
QML_NAMED_ELEMENT(CloudProviderPreset)
} // namespace CloudProviderPresetForeign

struct PreferencesForeign {
    Q_GADGET
    QML_FOREIGN(Preferences)
    QML_NAMED_ELEMENT(Preferences)
    QML_UNCREATABLE("owned by the controller")
};

struct MessageActionsForeign {
    Q_GADGET
    QML_FOREIGN(MessageActions)
    QML_NAMED_ELEMENT(MessageActions)
    QML_UNCREATABLE("owned by the controller")
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

struct ConversationKeeperForeign {
    Q_GADGET
    QML_FOREIGN(ConversationKeeper)
    QML_NAMED_ELEMENT(ConversationKeeper)
    QML_UNCREATABLE("owned by the controller")
};

struct ConversationSearchForeign {
    Q_GADGET
    QML_FOREIGN(ConversationSearch)
    QML_NAMED_ELEMENT(ConversationSearch)
    QML_UNCREATABLE("owned by the controller")
};

struct ConversationFilterModelForeign {
    Q_GADGET
    QML_FOREIGN(ConversationFilterModel)
    QML_NAMED_ELEMENT(ConversationFilterModel)
    QML_UNCREATABLE("owned by the controller")
};

struct DeletionUndoForeign {
    Q_GADGET
    QML_FOREIGN(DeletionUndo)
    QML_NAMED_ELEMENT(DeletionUndo)
    QML_UNCREATABLE("owned by the controller")
};

struct ConversationExportForeign {
    Q_GADGET
    QML_FOREIGN(ConversationExport)
    QML_NAMED_ELEMENT(ConversationExport)
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
