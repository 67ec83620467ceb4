#include "models/reply_line_reader.h"

#include "models/http_exchange.h"
#include "models/text_piece_stream.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <utility>

ReplyLineReader::ReplyLineReader(QNetworkReply* reply, TextPieceStream* stream,
                                 StreamLineReader readLine, StatusErrorReader statusError,
                                 QObject* parent)
    : QObject(parent), m_reply(reply), m_stream(stream), m_readLine(std::move(readLine)),
      m_statusError(std::move(statusError)) {
    connect(reply, &QNetworkReply::readyRead, this, &ReplyLineReader::readAvailable);
    connect(reply, &QNetworkReply::finished, this, &ReplyLineReader::replyFinished);
}

namespace {

// An error page is read only so far: enough for any provider's message.
constexpr qsizetype maxErrorBody = 64 * 1024;

// Stops reading a reply that may still be running. One answered with an
// error status is left alone until it is deleted: Qt reports that status as
// an error of its own after readyRead, and an abort before would make it two.
void release(QNetworkReply* reply, QObject* reader) {
    reply->disconnect(reader);
    if (reply->isRunning() && httpStatus(*reply).value_or(200) == 200) {
        reply->abort();
    }
    reply->deleteLater();
}

// A body shorter than its Content-Length was cut off (RFC 9112, section 6.3).
// Qt usually reports the early close itself, but not always. A compressed body
// is read decoded, so its length cannot be compared.
bool cutShort(const QNetworkReply& reply, qint64 received) {
    const QByteArray declared = reply.rawHeader("Content-Length");
    return !declared.isEmpty() && !reply.hasRawHeader("Content-Encoding") &&
           received < declared.toLongLong();
}

} // namespace

ReplyLineReader::~ReplyLineReader() {
    if (m_reply) {
        release(m_reply, this);
    }
    if (!m_ended && m_stream) {
        m_stream->fail(PlatformError::cancelled());
    }
}

void ReplyLineReader::readAvailable() {
    if (m_ended || !m_reply) {
        return;
    }
    if (httpStatus(*m_reply) != 200) {
        // The error is judged once its whole body is here.
        keepErrorBody();
        return;
    }
    const QByteArray bytes = m_reply->readAll();
    m_received += bytes.size();
    const QByteArrayList lines = m_lines.feed(bytes);
    for (const QByteArray& line : lines) {
        if (!acceptLine(line)) {
            return;
        }
    }
}

void ReplyLineReader::keepErrorBody() {
    const QByteArray bytes = m_reply->readAll();
    m_errorBody.append(bytes.left(maxErrorBody - m_errorBody.size()));
}

void ReplyLineReader::replyFinished() {
    if (m_ended || !m_reply) {
        return;
    }
    const std::optional<int> status = httpStatus(*m_reply);
    if (status.has_value() && *status != 200) {
        keepErrorBody();
        const ModelError error = m_statusError(httpAnswer(*m_reply, m_errorBody));
        end(&error);
        return;
    }
    if (failedInTransport(*m_reply)) {
        const PlatformError platform = transportError(*m_reply, false);
        const ModelError error = m_transportError ? m_transportError(platform) : platform;
        end(&error);
        return;
    }
    if (!status.has_value()) {
        const ModelError error = m_statusError(HttpAnswer{});
        end(&error);
        return;
    }
    readAvailable();
    if (m_ended) {
        return;
    }
    if (cutShort(*m_reply, m_received)) {
        const ModelError error =
            PlatformError{PlatformError::Case::transport, QStringLiteral("Connection closed")};
        end(&error);
        return;
    }
    if (const std::optional<QByteArray> last = m_lines.finish()) {
        if (!acceptLine(*last)) {
            return;
        }
    }
    end(nullptr);
}

bool ReplyLineReader::acceptLine(QByteArrayView line) {
    const StreamLine outcome = m_readLine(line);
    if (m_stream && !outcome.piece.isEmpty()) {
        m_stream->deliver(outcome.piece);
    }
    if (outcome.error) {
        end(&*outcome.error);
        return false;
    }
    if (outcome.ends) {
        end(nullptr);
        return false;
    }
    return true;
}

void ReplyLineReader::end(const ModelError* error) {
    m_ended = true;
    if (m_stream) {
        if (error != nullptr) {
            m_stream->fail(*error);
        } else {
            m_stream->finish();
        }
    }
    release(std::exchange(m_reply, nullptr), this);
    deleteLater();
}

TextPieceStream* startLineStream(QNetworkAccessManager* network,
                                 const std::optional<QNetworkRequest>& request,
                                 const QByteArray& body, LineStreamFormat format, QObject* owner) {
    auto* stream = new TextPieceStream();
    if (!request) {
        QTimer::singleShot(0, stream, [stream, error = std::move(format.invalidUrlError)] {
            stream->fail(error);
        });
        return stream;
    }
    auto* reader =
        new ReplyLineReader(network->post(*request, body), stream, std::move(format.readLine),
                            std::move(format.statusError), owner);
    reader->setTransportErrorReader(std::move(format.transportError));
    return stream;
}
