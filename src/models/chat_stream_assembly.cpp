#include "models/cloud_protocol.h"
#include "models/stream_assembly.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QLatin1String functionKey("function");
const QLatin1String argumentsKey("arguments");
const QLatin1String nameKey("name");
const QLatin1String idKey("id");

// The chunk a "data:" line carries; an empty object for any other line.
QJsonObject chunkOf(QByteArrayView line) {
    line = line.trimmed();
    static constexpr QByteArrayView prefix("data:");
    if (!line.startsWith(prefix)) {
        return {};
    }
    return QJsonDocument::fromJson(line.sliced(prefix.size()).toByteArray()).object();
}

bool isFilled(const QJsonValue& value) {
    return !value.isUndefined() && !value.isNull() && value != QJsonValue(QString());
}

class ChatCompletionsAssembly : public StreamAssembly {
public:
    AssembledLine read(QByteArrayView line) override {
        AssembledLine read{readCloudStreamLine(line)};
        m_text += read.line.piece;
        m_done = m_done || (read.line.ends && !read.line.error);
        if (read.line.ends) {
            return read;
        }
        const QJsonObject choice =
            chunkOf(line).value(QLatin1String("choices")).toArray().at(0).toObject();
        const QJsonObject delta = choice.value(QLatin1String("delta")).toObject();
        const QJsonValue reasoning = delta.value(QLatin1String("reasoning_content"));
        if (reasoning.isString()) {
            m_reasoning = m_reasoning.value_or(QString()) + reasoning.toString();
        }
        // Some providers name it "reasoning"; it is only shown as under way.
        read.reasoning = !reasoning.toString().isEmpty() ||
                         !delta.value(QLatin1String("reasoning")).toString().isEmpty();
        for (const QJsonValue& call : delta.value(QLatin1String("tool_calls")).toArray()) {
            addCallDelta(call.toObject());
        }
        const QJsonValue finish = choice.value(QLatin1String("finish_reason"));
        if (finish.isString()) {
            m_finishReason = finish;
        }
        return read;
    }

    std::optional<QByteArray> wholeBody() const override {
        if (!m_done && m_finishReason.isNull()) {
            return std::nullopt;
        }
        QJsonObject message{{QLatin1String("role"), QLatin1String("assistant")},
                            {QLatin1String("content"), m_text}};
        if (!m_calls.isEmpty()) {
            QJsonArray calls;
            for (const Call& call : m_calls) {
                calls.append(call.entry);
            }
            message.insert(QLatin1String("tool_calls"), calls);
        }
        if (m_reasoning) {
            message.insert(QLatin1String("reasoning_content"), *m_reasoning);
        }
        const QJsonObject choice{{QLatin1String("index"), 0},
                                 {QLatin1String("message"), message},
                                 {QLatin1String("finish_reason"), m_finishReason}};
        return QJsonDocument(QJsonObject{{QLatin1String("choices"), QJsonArray{choice}}})
            .toJson(QJsonDocument::Compact);
    }

private:
    struct Call {
        int index;
        QJsonObject entry; // in the one-shot shape
    };

    void addCallDelta(const QJsonObject& delta) {
        const QJsonValue index = delta.value(QLatin1String("index"));
        const QString id = delta.value(idKey).toString();
        auto call =
            index.isDouble()
                ? std::find_if(m_calls.rbegin(), m_calls.rend(),
                               [index](const Call& known) { return known.index == index.toInt(); })
                : m_calls.rbegin();
        const bool anotherId = call != m_calls.rend() && !id.isEmpty() &&
                               !call->entry.value(idKey).toString().isEmpty() &&
                               call->entry.value(idKey).toString() != id;
        // Without an index (Gemini) a name for a call that has one starts the next call.
        const bool anotherName = call != m_calls.rend() && !index.isDouble() &&
                                 isFilled(delta.value(functionKey)[nameKey]) &&
                                 isFilled(call->entry.value(functionKey)[nameKey]);
        if (call == m_calls.rend() || anotherId || anotherName) {
            m_calls.append({index.toInt(-1), QJsonObject{{functionKey, QJsonObject{}}}});
            call = m_calls.rbegin();
        }
        QJsonObject& entry = call->entry;
        for (auto it = delta.begin(); it != delta.end(); ++it) {
            if (it.key() != QLatin1String("index") && it.key() != functionKey &&
                !isFilled(entry.value(it.key()))) {
                entry.insert(it.key(), it.value());
            }
        }
        QJsonObject function = entry.value(functionKey).toObject();
        const QJsonObject part = delta.value(functionKey).toObject();
        if (!isFilled(function.value(nameKey))) {
            function.insert(nameKey, part.value(nameKey));
        }
        const QJsonValue arguments = part.value(argumentsKey);
        if (arguments.isString()) {
            function.insert(argumentsKey,
                            function.value(argumentsKey).toString() + arguments.toString());
        } else if (arguments.isObject()) {
            function.insert(argumentsKey, arguments);
        }
        entry.insert(functionKey, function);
    }

    QString m_text;
    std::optional<QString> m_reasoning;
    QList<Call> m_calls;
    QJsonValue m_finishReason = QJsonValue::Null;
    bool m_done = false;
};

} // namespace

std::unique_ptr<StreamAssembly> chatCompletionsAssembly() {
    return std::make_unique<ChatCompletionsAssembly>();
}
