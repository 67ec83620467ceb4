#pragma once

#include "tools/tool_types.h"

#include <QJsonObject>
#include <QJsonValue>

// The value-to-text rule shared by the text parser and the cloud client:
// strings unchanged, numbers in decimal, booleans as 1/0, arrays and objects
// as a stable readable description that is deliberately not JSON.
QString argumentText(const QJsonValue& value);

// Every member of a JSON object through argumentText.
ToolArguments argumentsFromJson(const QJsonObject& object);
