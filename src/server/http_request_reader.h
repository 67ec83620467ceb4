#pragma once

#include "server/http_request.h"

#include <QByteArray>
#include <QByteArrayView>

// Collects the bytes of one request, read by read, until the header and the
// announced body are complete. The buffer is bounded: a header beyond 64 KiB
// or an announced body beyond 1 MiB ends the reading with a verdict.
class HttpRequestReader {
public:
    static constexpr qsizetype kMaxReadSize = 65536;
    static constexpr qsizetype kMaxHeaderSize = 64 * 1024;
    static constexpr qint64 kMaxBodySize = 1024 * 1024;

    enum class Outcome {
        needMore,       // read again
        complete,       // request() holds the request
        malformed,      // drop the connection without an answer
        headerTooLarge, // 431
        bodyTooLarge,   // 413
        invalidLength,  // 400: negative or non-numeric Content-Length
    };

    Outcome append(QByteArrayView data);
    // The peer has finished sending: whatever is incomplete now never will be.
    Outcome finish();

    Outcome outcome() const { return m_outcome; }
    // The header has been read and accepted; the body may still be on its way.
    bool headerComplete() const { return m_bodyStart >= 0; }
    const HttpRequest& request() const { return m_request; }

private:
    Outcome parseHeader(qsizetype headerLength);
    Outcome takeBodyIfComplete();

    QByteArray m_buffer;
    HttpRequest m_request;
    qsizetype m_bodyStart = -1; // set once the header has been parsed
    qint64 m_contentLength = 0;
    Outcome m_outcome = Outcome::needMore;
};
