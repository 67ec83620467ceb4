#include "server/phone_page.h"

#include <QFile>

const QByteArray& phonePage(bool formatted) {
    static const QByteArray plain = [] {
        QFile file(QStringLiteral(":/emberglass/server/phone_page.html"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    static const QByteArray withFormatting =
        QByteArray(plain).replace(R"(<body data-format="off">)", R"(<body data-format="on">)");
    return formatted ? withFormatting : plain;
}
