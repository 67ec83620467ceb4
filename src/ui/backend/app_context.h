#pragma once

class ChatViewModel;
class QQmlEngine;
class WindowMemory;

// The one controller the views see. The application (or a test) creates it and
// hands it over before the QML engine loads any view.
namespace AppContext {

void setViewModel(ChatViewModel* viewModel);
ChatViewModel* viewModel();

// Where the window was left. Without one set (a test's views), one that keeps nothing.
void setWindowMemory(WindowMemory* memory);
WindowMemory* windowMemory();

// Everything an engine needs besides the modules: the icon and QR code images.
void prepareEngine(QQmlEngine& engine);

} // namespace AppContext
