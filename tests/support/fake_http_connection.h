#pragma once

#include "support/fake_http_server.h"

#include <QObject>
#include <QPointer>
#include <QTcpSocket>

#include <functional>
#include <optional>

// One accepted connection of a FakeHttpServer: reads one request, asks for
// its answer, writes it chunk by chunk on timers, then closes.
class FakeHttpConnection : public QObject {
    Q_OBJECT

public:
    using Responder = std::function<FakeResponse(const RecordedRequest&)>;

    FakeHttpConnection(QTcpSocket* socket, Responder responder, QObject* parent);

private:
    void readRequest();
    std::optional<RecordedRequest> parseRequest();
    void startAnswer(FakeResponse response);
    void writeChunk(qsizetype index);
    void closeSoon();

    QPointer<QTcpSocket> m_socket;
    Responder m_responder;
    QByteArray m_buffer;
    FakeResponse m_response;
    bool m_answered = false;
};
