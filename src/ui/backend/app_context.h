#pragma once

class ChatViewModel;
class QQmlEngine;

// The one controller the views see. The application (or a test) creates it and
// hands it over before the QML engine loads any view.
namespace AppContext {

void setViewModel(ChatViewModel* viewModel);
ChatViewModel* viewModel();

// Everything an engine needs besides the modules: the icon images.
void prepareEngine(QQmlEngine& engine);

} // namespace AppContext
