#include "server/phone_page.h"

#include <QFile>

const QByteArray& phonePage() {
    static const QByteArray page = [] {
        QFile file(QStringLiteral(":/emberglass/server/phone_page.html"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return page;
}
