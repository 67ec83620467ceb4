#include "app_context.h"

#include "icon_provider.h"
#include "qr_code_provider.h"
#include "window_memory.h"

#include <QPointer>
#include <QQmlEngine>

#include "core/chat_view_model.h"

namespace {
QPointer<ChatViewModel> current;
QPointer<WindowMemory> currentMemory;
} // namespace

namespace AppContext {

void setViewModel(ChatViewModel* viewModel) {
    current = viewModel;
}

ChatViewModel* viewModel() {
    return current;
}

void setWindowMemory(WindowMemory* memory) {
    currentMemory = memory;
}

WindowMemory* windowMemory() {
    if (currentMemory) {
        return currentMemory;
    }
    static WindowMemory forgetful;
    return &forgetful;
}

void prepareEngine(QQmlEngine& engine) {
    // The modules are linked in; their qmldir files live at the resource root.
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("icon"), new IconProvider);
    engine.addImageProvider(QStringLiteral("qr"), new QrCodeProvider);
}

} // namespace AppContext
