#pragma once

#include <QJsonArray>
#include <QStringList>

// The tools of the tool table as offered to the model, in chat-completions
// function format.
// Built once on first use (thread-safe) and shared for the life of the process.
const QJsonArray& toolDefinitions();
