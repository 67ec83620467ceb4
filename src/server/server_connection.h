#pragma once

#include "server/http_request.h"
#include "server/http_request_reader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>

// One accepted connection: reads its single request, then writes what the
// server answers and closes. A peer that sends or reads nothing for the idle
// time is dropped; waiting for the model does not count as idle.
class ServerConnection : public QObject {
    Q_OBJECT

public:
    ServerConnection(QTcpSocket* socket, std::chrono::milliseconds idleTimeout,
                     QObject* parent = nullptr);

    // Queued for writing; ignored once the connection is closing.
    void send(const QByteArray& bytes);
    // Closes once everything queued has been written.
    void sendAndClose(const QByteArray& bytes = {});
    void abort();

    bool isClosing() const { return m_closing; }

Q_SIGNALS:
    // At most once.
    void requestReceived(const HttpRequest& request);
    // The connection is gone; the object deletes itself right after.
    void closed();

private:
    void readAvailable();
    void handleOutcome(HttpRequestReader::Outcome outcome);
    void noteWriteProgress();
    void shutDownSending();
    void handleDisconnected();

    QTcpSocket* m_socket;
    QTimer m_idleTimer{this};
    HttpRequestReader m_reader;
    bool m_requestDone = false;
    bool m_closing = false;
    bool m_sendingShutDown = false;
    bool m_gone = false;
};
