#pragma once

#include <QObject>
#include <QString>

#include <optional>

// Which model client answers. The text values are also the labels shown.
namespace AIBackendType {
Q_NAMESPACE
enum class Value { cloud, local };
Q_ENUM_NS(Value)
} // namespace AIBackendType
using AIBackend = AIBackendType::Value;

QString toText(AIBackend backend);
