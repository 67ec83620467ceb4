#include "tools/tool_arguments.h"

#include <QJsonArray>
#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

QString numberText(double number) {
    // Integral values print without a fraction (5, not 5.0); everything else
    // uses the shortest text that reads back to the same double.
    if (std::isfinite(number) && std::trunc(number) == number && std::fabs(number) < 1e15) {
        return QString::number(static_cast<qint64>(number));
    }
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QString argumentText(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double:
        return numberText(value.toDouble());
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Array: {
        QStringList items;
        for (const QJsonValue& item : value.toArray()) {
            items << argumentText(item);
        }
        return QLatin1Char('(') + items.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    case QJsonValue::Object: {
        // QJsonObject iterates in key order, which keeps the text stable.
        const QJsonObject object = value.toObject();
        QStringList members;
        for (auto it = object.begin(); it != object.end(); ++it) {
            members << it.key() + QStringLiteral(" = ") + argumentText(it.value());
        }
        return QLatin1Char('{') + members.join(QStringLiteral("; ")) + QLatin1Char('}');
    }
    case QJsonValue::Null:
        return QStringLiteral("<null>");
    case QJsonValue::Undefined:
        break;
    }
    return {};
}

ToolArguments argumentsFromJson(const QJsonObject& object) {
    ToolArguments arguments;
    for (auto it = object.begin(); it != object.end(); ++it) {
        arguments.insert(it.key(), argumentText(it.value()));
    }
    return arguments;
}
