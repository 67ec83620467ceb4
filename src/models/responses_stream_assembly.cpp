#include "models/responses_stream.h"
#include "models/stream_assembly.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

class ResponsesAssembly : public StreamAssembly {
public:
    AssembledLine read(QByteArrayView line) override {
        AssembledLine read{readResponsesStreamLine(line)};
        line = line.trimmed();
        static constexpr QByteArrayView prefix("data:");
        if (!line.startsWith(prefix)) {
            return read;
        }
        const QJsonObject event =
            QJsonDocument::fromJson(line.sliced(prefix.size()).toByteArray()).object();
        const QString type = event.value(QLatin1String("type")).toString();
        if (read.line.ends && !read.line.error) {
            m_response = event.value(QLatin1String("response")).toObject();
        }
        read.reasoning = type.startsWith(QLatin1String("response.reasoning")) ||
                         (type == QLatin1String("response.output_item.added") &&
                          event.value(QLatin1String("item"))[QLatin1String("type")] ==
                              QLatin1String("reasoning"));
        return read;
    }

    std::optional<QByteArray> wholeBody() const override {
        if (!m_response) {
            return std::nullopt;
        }
        return QJsonDocument(*m_response).toJson(QJsonDocument::Compact);
    }

private:
    std::optional<QJsonObject> m_response;
};

} // namespace

std::unique_ptr<StreamAssembly> responsesAssembly() {
    return std::make_unique<ResponsesAssembly>();
}
