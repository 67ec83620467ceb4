#pragma once

#include <QString>
#include <QStringList>

// The models a provider lists under "/models", as the settings offer them.
namespace ServedModels {

// Each id once, sorted, without the "models/" prefix Gemini puts before its
// names (the chat endpoint takes them without it).
QStringList choices(const QStringList& listedIds);

// True when `model` is among `choices`, written with or without that prefix.
bool offers(const QStringList& choices, const QString& model);

} // namespace ServedModels
