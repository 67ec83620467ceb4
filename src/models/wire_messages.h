#pragma once

#include <QJsonArray>
#include <QJsonObject>

// The message list of one model request: JSON objects such as
// {"role": "user", "content": "..."}, serialised into the request unchanged.
using WireMessage = QJsonObject;
using WireMessages = QJsonArray;
