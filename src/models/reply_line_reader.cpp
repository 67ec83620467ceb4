#include "models/reply_line_reader.h"

#include "models/http_exchange.h"
#include "models/text_piece_stream.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <utility>

ReplyLineReader::ReplyLineReader(QNetworkReply* reply, TextPieceStream* stream,
                                 StreamLineReader readLine, ModelError statusError, QObject* parent)
    : QObject(parent), m_reply(reply), m_stream(stream), m_readLine(std::move(readLine)),
      m_statusError(std::move(statusError)) {
    connect(reply, &QNetworkReply::readyRead, this, &ReplyLineReader::readAvailable);
    connect(reply, &QNetworkReply::finished, this, &ReplyLineReader::replyFinished);
}

namespace {

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
    if (!statusIsOk()) {
        end(&m_statusError);
        return;
    }
    const QByteArrayList lines = m_lines.feed(m_reply->readAll());
    for (const QByteArray& line : lines) {
        if (!acceptLine(line)) {
            end(nullptr);
            return;
        }
    }
}

void ReplyLineReader::replyFinished() {
    if (m_ended || !m_reply) {
        return;
    }
    const std::optional<int> status = httpStatus(*m_reply);
    if (status.has_value() && *status != 200) {
        end(&m_statusError);
        return;
    }
    if (failedInTransport(*m_reply)) {
        const ModelError error = transportError(*m_reply, false);
        end(&error);
        return;
    }
    if (!status.has_value()) {
        end(&m_statusError);
        return;
    }
    readAvailable();
    if (m_ended) {
        return;
    }
    if (const std::optional<QByteArray> last = m_lines.finish()) {
        acceptLine(*last);
    }
    end(nullptr);
}

bool ReplyLineReader::acceptLine(QByteArrayView line) {
    const StreamLine outcome = m_readLine(line);
    if (m_stream && !outcome.piece.isEmpty()) {
        m_stream->deliver(outcome.piece);
    }
    return !outcome.ends;
}

bool ReplyLineReader::statusIsOk() const {
    return httpStatus(*m_reply) == 200;
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
    new ReplyLineReader(network->post(*request, body), stream, std::move(format.readLine),
                        std::move(format.statusError), owner);
    return stream;
}
