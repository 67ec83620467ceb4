#pragma once

#include <QObject>
#include <QString>

#include <optional>

// Which model client answers. The text values are also the labels shown.
class AIBackendType {
    Q_GADGET

public:
    enum class Value { cloud, local };
    Q_ENUM(Value)
};
using AIBackend = AIBackendType::Value;

QString toText(AIBackend backend);
std::optional<AIBackend> aiBackendFromText(const QString& text);
