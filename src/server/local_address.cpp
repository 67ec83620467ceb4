#include "server/local_address.h"

#include "server/server_texts.h"

#include <QNetworkInterface>

namespace {

bool looksWireless(const QNetworkInterface& interface) {
    return interface.type() == QNetworkInterface::Wifi ||
           interface.name().startsWith(QLatin1String("wl"));
}

bool looksVirtual(const QNetworkInterface& interface) {
    static const QStringList prefixes = {
        QStringLiteral("docker"), QStringLiteral("br-"),     QStringLiteral("virbr"),
        QStringLiteral("veth"),   QStringLiteral("vboxnet"), QStringLiteral("vmnet"),
        QStringLiteral("tun"),    QStringLiteral("tap"),     QStringLiteral("lxc"),
        QStringLiteral("podman"), QStringLiteral("cni"),     QStringLiteral("flannel")};
    if (interface.type() == QNetworkInterface::Virtual) {
        return true;
    }
    for (const QString& prefix : prefixes) {
        if (interface.name().startsWith(prefix)) {
            return true;
        }
    }
    return false;
}

std::optional<QString> firstPrivateAddress(const InterfaceSnapshot& interface) {
    if (!interface.up || !interface.running || interface.loopback || interface.virtualBridge) {
        return std::nullopt;
    }
    for (const QHostAddress& address : interface.addresses) {
        if (isPrivateIPv4(address)) {
            return address.toString();
        }
    }
    return std::nullopt;
}

} // namespace

bool isPrivateIPv4(const QHostAddress& address) {
    if (address.protocol() != QAbstractSocket::IPv4Protocol) {
        return false;
    }
    return address.isInSubnet(QHostAddress(QStringLiteral("10.0.0.0")), 8) ||
           address.isInSubnet(QHostAddress(QStringLiteral("172.16.0.0")), 12) ||
           address.isInSubnet(QHostAddress(QStringLiteral("192.168.0.0")), 16);
}

QString chooseLocalAddress(const QList<InterfaceSnapshot>& interfaces) {
    for (const bool wireless : {false, true}) {
        for (const InterfaceSnapshot& interface : interfaces) {
            if (interface.wireless != wireless) {
                continue;
            }
            if (const auto address = firstPrivateAddress(interface)) {
                return *address;
            }
        }
    }
    return QString::fromLatin1(server_texts::kLoopbackHostName);
}

QList<InterfaceSnapshot> currentInterfaces() {
    QList<InterfaceSnapshot> snapshots;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        InterfaceSnapshot snapshot;
        snapshot.name = interface.name();
        const auto flags = interface.flags();
        snapshot.up = flags.testFlag(QNetworkInterface::IsUp);
        snapshot.running = flags.testFlag(QNetworkInterface::IsRunning);
        snapshot.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        snapshot.wireless = looksWireless(interface);
        snapshot.virtualBridge = looksVirtual(interface);
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            snapshot.addresses.append(entry.ip());
        }
        snapshots.append(snapshot);
    }
    return snapshots;
}

QString localNetworkAddress() {
    return chooseLocalAddress(currentInterfaces());
}

QStringList machineHostNames() {
    QStringList names = {QString::fromLatin1(server_texts::kLoopbackHostName),
                         QStringLiteral("127.0.0.1")};
    for (QHostAddress address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            address.setScopeId(QString());
            names.append(QLatin1Char('[') + address.toString() + QLatin1Char(']'));
        } else {
            names.append(address.toString());
        }
    }
    return names;
}
