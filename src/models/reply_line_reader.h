#pragma once

#include "models/http_exchange.h"
#include "models/line_splitter.h"
#include "models/model_error.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;
class TextPieceStream;

// What one line of a streamed answer contributes.
struct StreamLine {
    QString piece;     // text to append; empty adds nothing
    bool ends = false; // the answer is complete: stop reading
    // The provider reported a failure inside the stream: it ends with this.
    std::optional<ModelError> error = std::nullopt;
};

using StreamLineReader = std::function<StreamLine(QByteArrayView line)>;
// The error for an answer whose status is not 200, given that answer.
using StatusErrorReader = std::function<ModelError(const HttpAnswer& answer)>;
// The error to report for a failure below HTTP (Qt's own, unless a client names it).
using TransportErrorReader = std::function<ModelError(const PlatformError& error)>;

// How a streamed request of one client reads and fails.
struct LineStreamFormat {
    StreamLineReader readLine;
    StatusErrorReader statusError;            // the answer's status is not 200
    ModelError invalidUrlError;               // no request could be formed
    TransportErrorReader transportError = {}; // none: Qt's description
};

// POSTs `body` and returns the stream of its answer at once; the reader is
// owned by `owner`. Without a request the stream fails, but never from inside
// this call: the caller connects to the stream first.
TextPieceStream* startLineStream(QNetworkAccessManager* network,
                                 const std::optional<QNetworkRequest>& request,
                                 const QByteArray& body, LineStreamFormat format, QObject* owner);

// Feeds a streamed HTTP reply into a TextPieceStream, one line at a time.
// A status other than 200 ends the stream with `statusError` of the whole
// (bounded) error body; a line that carries an error object ends it with that
// error; a transport failure ends it with Qt's description. The reader
// lives until the reply has ended and then deletes itself and the reply; if
// the consumer deletes the stream early, the rest of the answer is dropped.
class ReplyLineReader : public QObject {
    Q_OBJECT

public:
    ReplyLineReader(QNetworkReply* reply, TextPieceStream* stream, StreamLineReader readLine,
                    StatusErrorReader statusError, QObject* parent);
    // Destroyed before the reply ended (its client went away): the stream
    // still gets its one ending.
    ~ReplyLineReader() override;

    void setTransportErrorReader(TransportErrorReader reader) {
        m_transportError = std::move(reader);
    }

private:
    void readAvailable();
    void replyFinished();
    bool acceptLine(QByteArrayView line); // false once the answer is complete
    void keepErrorBody();
    void end(const ModelError* error);

    QPointer<QNetworkReply> m_reply;
    QPointer<TextPieceStream> m_stream;
    StreamLineReader m_readLine;
    StatusErrorReader m_statusError;
    TransportErrorReader m_transportError;
    QByteArray m_errorBody; // of an answer whose status is not 200
    LineSplitter m_lines;
    qint64 m_received = 0; // body bytes read, to tell a whole answer from a cut one
    bool m_ended = false;
};
