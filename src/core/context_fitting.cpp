#include "core/context_fitting.h"

#include <QJsonDocument>

namespace {

const QString roleKey = QStringLiteral("role");

bool startsTurn(const QJsonValue& value) {
    const QJsonObject message = value.toObject();
    if (message.value(roleKey).toString() != QLatin1String("user")) {
        return false;
    }
    const QString content = message.value(QStringLiteral("content")).toString();
    return !content.startsWith(QLatin1String("[Tool Result: ")) &&
           !content.startsWith(QLatin1String("[Tool Error: "));
}

// Where each turn starts, in order; the system prompt and anything before the
// first user message belong to no turn and always stay.
QList<qsizetype> turnStarts(const WireMessages& messages) {
    QList<qsizetype> starts;
    for (qsizetype i = 0; i < messages.size(); ++i) {
        if (startsTurn(messages[i])) {
            starts.append(i);
        }
    }
    return starts;
}

} // namespace

qsizetype wireSize(const WireMessages& messages) {
    return QJsonDocument(messages).toJson(QJsonDocument::Compact).size();
}

int turnsThatMayBeLeftOut(const WireMessages& messages) {
    return std::max<int>(0, static_cast<int>(turnStarts(messages).size()) - 1);
}

FittedMessages withoutOldestTurns(const WireMessages& messages, int turns) {
    const QList<qsizetype> starts = turnStarts(messages);
    const int leftOut = std::clamp(turns, 0, turnsThatMayBeLeftOut(messages));
    if (leftOut == 0) {
        return {messages, 0};
    }
    WireMessages kept;
    for (qsizetype i = 0; i < starts.first(); ++i) {
        kept.append(messages[i]);
    }
    for (qsizetype i = starts[leftOut]; i < messages.size(); ++i) {
        kept.append(messages[i]);
    }
    return {kept, leftOut};
}

FittedMessages fitWithin(const WireMessages& messages, qsizetype maxBytes, int atLeast) {
    const QList<qsizetype> starts = turnStarts(messages);
    const int most = turnsThatMayBeLeftOut(messages);
    int leftOut = std::clamp(atLeast, 0, most);
    // Each turn's bytes (with the comma before it) come off the whole, so the
    // messages are serialised once, not once per turn.
    qsizetype size = wireSize(withoutOldestTurns(messages, leftOut).messages);
    while (size > maxBytes && leftOut < most) {
        for (qsizetype i = starts[leftOut]; i < starts[leftOut + 1]; ++i) {
            size -= QJsonDocument(messages[i].toObject()).toJson(QJsonDocument::Compact).size() + 1;
        }
        ++leftOut;
    }
    return withoutOldestTurns(messages, leftOut);
}
