#include "models/line_splitter.h"
#include "models/stream_assembly.h"

#include <QNetworkReply>

namespace {

// Feeds the lines of a streamed answer to its assembly until the answer ends.
class AssemblingReader {
public:
    AssemblingReader(std::unique_ptr<StreamAssembly> assembly, ReplyProgress progress)
        : m_assembly(std::move(assembly)), m_progress(std::move(progress)) {}

    void feed(QByteArrayView bytes) {
        const QByteArrayList lines = m_lines.feed(bytes);
        for (const QByteArray& line : lines) {
            accept(line);
        }
    }

    void finish() {
        if (const std::optional<QByteArray> last = m_lines.finish()) {
            accept(*last);
        }
    }

    Result<QByteArray> wholeBody() const {
        if (m_error) {
            return *m_error;
        }
        if (std::optional<QByteArray> body = m_assembly->wholeBody()) {
            return *body;
        }
        // The connection closed before the answer was whole.
        return PlatformError{PlatformError::Case::transport, QStringLiteral("Connection closed")};
    }

private:
    void accept(QByteArrayView line) {
        if (m_ended) {
            return;
        }
        const AssembledLine read = m_assembly->read(line);
        if (!read.line.piece.isEmpty() && m_progress.text) {
            m_progress.text(read.line.piece);
        }
        if (read.reasoning && m_progress.reasoning) {
            m_progress.reasoning();
        }
        m_error = read.line.error;
        m_ended = read.line.ends || m_error.has_value();
    }

    std::unique_ptr<StreamAssembly> m_assembly;
    ReplyProgress m_progress;
    LineSplitter m_lines;
    std::optional<ModelError> m_error;
    bool m_ended = false;
};

} // namespace

StreamLineReader judgedLineReader(std::shared_ptr<StreamAssembly> assembly, ReplyDecoder decode) {
    return [assembly = std::move(assembly), decode = std::move(decode)](QByteArrayView line) {
        StreamLine read = assembly->read(line).line;
        if (read.ends && !read.error) {
            const std::optional<QByteArray> body = assembly->wholeBody();
            const Result<ModelReply> reply =
                decode(HttpAnswer{200, body.value_or(QByteArray()), {}});
            if (!reply.ok()) {
                read.error = reply.error();
            }
        }
        return read;
    };
}

QCoro::Task<Result<HttpAnswer>> streamedExchange(QPointer<QNetworkAccessManager> network,
                                                 QNetworkRequest request, QByteArray body,
                                                 std::shared_ptr<RequestCancellation> cancellation,
                                                 std::unique_ptr<StreamAssembly> assembly,
                                                 ReplyProgress progress) {
    auto reader = std::make_shared<AssemblingReader>(std::move(assembly), std::move(progress));
    // An error status is read whole, as the one-shot request reads it.
    const ArrivalReader whileArriving = [reader](QNetworkReply& reply) {
        if (httpStatus(reply) == 200) {
            reader->feed(reply.readAll());
        }
    };
    Result<HttpAnswer> answer =
        co_await exchange(std::move(network), std::move(request), "POST", std::move(body),
                          std::move(cancellation), whileArriving);
    if (!answer.ok() || answer.value().status != 200) {
        co_return answer;
    }
    reader->feed(answer.value().body);
    reader->finish();
    Result<QByteArray> whole = reader->wholeBody();
    if (!whole.ok()) {
        co_return whole.error();
    }
    answer.value().body = std::move(whole.value());
    co_return answer;
}
