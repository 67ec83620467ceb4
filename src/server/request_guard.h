#pragma once

#include "server/http_request.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// Refuses requests that another web site makes through the user's browser:
// the Host must name this machine (so a rebound DNS name does not pass) and an
// Origin, when present, must be the server's own.
class RequestGuard {
public:
    using HostNameSource = std::function<QStringList()>;

    explicit RequestGuard(quint16 port, HostNameSource hostNames = machineHostNamesSource());

    bool isOwnRequest(const HttpRequest& request);

    static HostNameSource machineHostNamesSource();

private:
    bool isOwnHost(const QString& host);
    void refreshHosts();

    quint16 m_port;
    HostNameSource m_hostNames;
    QSet<QString> m_ownHosts; // "name:port", lower case
};
