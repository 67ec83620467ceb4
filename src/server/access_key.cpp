#include "server/access_key.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QUrlQuery>

#include <array>

namespace access_key {

QString make() {
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char*>(words.data()), sizeof(words));
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool queryCarries(const QString& query, const QString& key) {
    if (query.isNull() || key.isEmpty()) {
        return false;
    }
    const QUrlQuery items(query);
    if (!items.hasQueryItem(QStringLiteral("key"))) {
        return false;
    }
    const QByteArray given =
        items.queryItemValue(QStringLiteral("key"), QUrl::FullyDecoded).toUtf8();
    const QByteArray expected = key.toUtf8();
    if (given.size() != expected.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (qsizetype i = 0; i < given.size(); ++i) {
        difference |= static_cast<unsigned char>(given[i] ^ expected[i]);
    }
    return difference == 0;
}

} // namespace access_key
