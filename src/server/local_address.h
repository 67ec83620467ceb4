#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// What the address choice needs to know of one network interface.
struct InterfaceSnapshot {
    QString name;
    bool up = false;
    bool running = false;
    bool loopback = false;
    bool wireless = false;
    bool virtualBridge = false; // containers, virtual machines, tunnels: not reachable by a phone
    QList<QHostAddress> addresses;
};

// 10/8, 172.16/12, 192.168/16.
bool isPrivateIPv4(const QHostAddress& address);

// The address a phone on the local network can use: the private IPv4 address
// of the first up, running, non-loopback interface, wired ones before wireless
// ones; "localhost" when there is none.
QString chooseLocalAddress(const QList<InterfaceSnapshot>& interfaces);

// The machine's interfaces as they are now.
QList<InterfaceSnapshot> currentInterfaces();
QString localNetworkAddress();

// Every host name under which this machine may be addressed without a name
// lookup: its addresses in URL form ("[...]" for IPv6), "localhost" and "127.0.0.1".
QStringList machineHostNames();
