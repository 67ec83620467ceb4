#include "models/ollama_protocol.h"
#include "models/stream_assembly.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QLatin1String messageKey("message");

class OllamaAssembly : public StreamAssembly {
public:
    AssembledLine read(QByteArrayView line) override {
        AssembledLine read{readOllamaStreamLine(line)};
        m_text += read.line.piece;
        const QJsonObject object = QJsonDocument::fromJson(line.toByteArray()).object();
        const QJsonObject message = object.value(messageKey).toObject();
        for (const QJsonValue& call : message.value(QLatin1String("tool_calls")).toArray()) {
            m_calls.append(call);
        }
        read.reasoning = !message.value(QLatin1String("thinking")).toString().isEmpty();
        if (read.line.ends && !read.line.error) {
            m_doneReason = object.value(QLatin1String("done_reason"));
            m_done = true;
        }
        return read;
    }

    std::optional<QByteArray> wholeBody() const override {
        if (!m_done) {
            return std::nullopt;
        }
        QJsonObject message{{QLatin1String("role"), QLatin1String("assistant")},
                            {QLatin1String("content"), m_text}};
        if (!m_calls.isEmpty()) {
            message.insert(QLatin1String("tool_calls"), m_calls);
        }
        const QJsonObject whole{{messageKey, message},
                                {QLatin1String("done_reason"), m_doneReason},
                                {QLatin1String("done"), true}};
        return QJsonDocument(whole).toJson(QJsonDocument::Compact);
    }

private:
    QString m_text;
    QJsonArray m_calls;
    QJsonValue m_doneReason;
    bool m_done = false;
};

} // namespace

std::unique_ptr<StreamAssembly> ollamaAssembly() {
    return std::make_unique<OllamaAssembly>();
}
