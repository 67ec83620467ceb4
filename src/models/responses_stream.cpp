#include "models/responses_stream.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The message of an error event, which carries it at the top or in "error".
QString eventError(const QJsonObject& event) {
    const QJsonObject nested = event.value(QLatin1String("error")).toObject();
    const QJsonValue message = event.contains(QLatin1String("message"))
                                   ? event.value(QLatin1String("message"))
                                   : nested.value(QLatin1String("message"));
    return message.isString() && !message.toString().isEmpty()
               ? message.toString()
               : QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact));
}

} // namespace

StreamLine readResponsesStreamLine(QByteArrayView line) {
    line = line.trimmed();
    static constexpr QByteArrayView prefix("data:");
    if (!line.startsWith(prefix)) {
        return {};
    }
    const QJsonObject event =
        QJsonDocument::fromJson(line.sliced(prefix.size()).toByteArray()).object();
    const QString type = event.value(QLatin1String("type")).toString();
    if (type == QLatin1String("response.output_text.delta") ||
        type == QLatin1String("response.refusal.delta")) {
        return {event.value(QLatin1String("delta")).toString(), false};
    }
    if (type == QLatin1String("response.completed") ||
        type == QLatin1String("response.incomplete")) {
        return {{}, true};
    }
    if (type == QLatin1String("error")) {
        return {{}, true, CloudError::detail(eventError(event))};
    }
    if (type == QLatin1String("response.failed")) {
        return {{},
                true,
                CloudError::detail(eventError(event.value(QLatin1String("response")).toObject()))};
    }
    return {};
}
