#include "tools/writers/writer_input.h"

#include <QJsonDocument>

std::optional<QJsonArray> parseJsonArray(const QString& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    return document.array();
}
