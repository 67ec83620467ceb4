#include "server/request_guard.h"

#include "server/local_address.h"

RequestGuard::RequestGuard(quint16 port, HostNameSource hostNames)
    : m_port(port), m_hostNames(std::move(hostNames)) {
    refreshHosts();
}

RequestGuard::HostNameSource RequestGuard::machineHostNamesSource() {
    return &machineHostNames;
}

bool RequestGuard::isOwnRequest(const HttpRequest& request) {
    const std::optional<QString> host = request.header(QStringLiteral("host"));
    if (!host || !isOwnHost(host->toLower())) {
        return false;
    }
    const std::optional<QString> origin = request.header(QStringLiteral("origin"));
    return !origin || origin->toLower() == QStringLiteral("http://") + host->toLower();
}

bool RequestGuard::isOwnHost(const QString& host) {
    if (m_ownHosts.contains(host)) {
        return true;
    }
    // Addresses change (a new lease, a network switch): look again before refusing.
    refreshHosts();
    return m_ownHosts.contains(host);
}

void RequestGuard::refreshHosts() {
    m_ownHosts.clear();
    const QString suffix = QLatin1Char(':') + QString::number(m_port);
    for (const QString& name : m_hostNames()) {
        m_ownHosts.insert(name.toLower() + suffix);
    }
}
