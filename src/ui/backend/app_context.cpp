#include "app_context.h"

#include "icon_provider.h"

#include <QPointer>
#include <QQmlEngine>

#include "core/chat_view_model.h"

namespace {
QPointer<ChatViewModel> current;
}

namespace AppContext {

void setViewModel(ChatViewModel* viewModel) {
    current = viewModel;
}

ChatViewModel* viewModel() {
    return current;
}

void prepareEngine(QQmlEngine& engine) {
    // The modules are linked in; their qmldir files live at the resource root.
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("icon"), new IconProvider);
}

} // namespace AppContext
