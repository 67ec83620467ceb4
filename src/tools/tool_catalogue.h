#pragma once

#include <QJsonArray>
#include <QStringList>

// The twelve tools offered to the model, in chat-completions function format.
// Built once on first use (thread-safe) and shared for the life of the process.
const QJsonArray& toolDefinitions();
