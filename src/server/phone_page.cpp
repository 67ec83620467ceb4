#include "server/phone_page.h"

#include "server/http_request_reader.h"

#include <QFile>

const QByteArray& phonePage(bool formatted) {
    static const QByteArray plain = [] {
        QFile file(QStringLiteral(":/emberglass/server/phone_page.html"));
        // The page keeps its requests within what the server reads.
        return !file.open(QIODevice::ReadOnly)
                   ? QByteArray()
                   : file.readAll().replace(
                         R"(data-max-body="0")",
                         "data-max-body=\"" + QByteArray::number(HttpRequestReader::kMaxBodySize) +
                             '"');
    }();
    static const QByteArray withFormatting =
        QByteArray(plain).replace(R"(<body data-format="off")", R"(<body data-format="on")");
    return formatted ? withFormatting : plain;
}
