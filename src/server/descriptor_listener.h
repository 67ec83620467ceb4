#pragma once

#include <QTcpServer>

// A listener that hands over each accepted connection as its bare descriptor,
// for the server's own channel, in place of a QTcpSocket.
class DescriptorListener : public QTcpServer {
    Q_OBJECT

public:
    using QTcpServer::QTcpServer;

Q_SIGNALS:
    void accepted(qintptr descriptor);

protected:
    void incomingConnection(qintptr descriptor) override { Q_EMIT accepted(descriptor); }
};
