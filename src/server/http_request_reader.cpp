#include "server/http_request_reader.h"

#include <QStringDecoder>

#include <limits>

namespace {

constexpr QByteArrayView kHeaderEnd("\r\n\r\n");

QString trimSpacesAndTabs(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text[begin])) {
        ++begin;
    }
    while (end > begin && blank(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

// A decimal with an optional sign; nullopt when it is not one. Values past
// the body cap saturate rather than overflow: they only need to be "too big".
std::optional<qint64> parseContentLength(const QString& text) {
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) {
        negative = text[at] == QLatin1Char('-');
        ++at;
    }
    if (at == text.size()) {
        return std::nullopt;
    }
    qint64 value = 0;
    constexpr qint64 kSaturated = std::numeric_limits<qint64>::max() / 10;
    for (; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value >= kSaturated ? kSaturated : value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

} // namespace

HttpRequestReader::Outcome HttpRequestReader::append(QByteArrayView data) {
    if (m_outcome != Outcome::needMore) {
        return m_outcome;
    }
    // Only the last three old bytes can start a terminator that ends in the new data.
    const qsizetype searchFrom = std::max<qsizetype>(0, m_buffer.size() - 3);
    m_buffer.append(data);
    if (m_bodyStart < 0) {
        const qsizetype headerEnd = m_buffer.indexOf(kHeaderEnd, searchFrom);
        if (headerEnd < 0) {
            if (m_buffer.size() >= kMaxHeaderSize + kHeaderEnd.size()) {
                m_outcome = Outcome::headerTooLarge;
            }
            return m_outcome;
        }
        m_outcome = parseHeader(headerEnd);
        if (m_outcome != Outcome::needMore) {
            return m_outcome;
        }
    }
    m_outcome = takeBodyIfComplete();
    return m_outcome;
}

HttpRequestReader::Outcome HttpRequestReader::finish() {
    if (m_outcome == Outcome::needMore) {
        m_outcome = Outcome::malformed;
    }
    return m_outcome;
}

HttpRequestReader::Outcome HttpRequestReader::parseHeader(qsizetype headerLength) {
    if (headerLength > kMaxHeaderSize) {
        return Outcome::headerTooLarge;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString header = decoder.decode(QByteArrayView(m_buffer).first(headerLength));
    if (decoder.hasError()) {
        return Outcome::malformed;
    }
    const QStringList lines = header.split(QStringLiteral("\r\n"));
    const QStringList requestLine = lines.first().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (requestLine.size() < 2) {
        return Outcome::malformed;
    }
    m_request.method = requestLine[0];
    m_request.target = requestLine[1];

    bool lengthSeen = false;
    for (const QString& line : lines.sliced(1)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0 || colon == line.size() - 1) {
            continue; // no name or no value
        }
        const QString name = trimSpacesAndTabs(QStringView(line).first(colon)).toLower();
        const QString value = trimSpacesAndTabs(QStringView(line).sliced(colon + 1));
        m_request.headers.append({name, value});
        if (name == QLatin1String("content-length") && !lengthSeen) {
            lengthSeen = true;
            const std::optional<qint64> length = parseContentLength(value);
            if (!length || *length < 0) {
                return Outcome::invalidLength;
            }
            m_contentLength = *length;
        }
    }
    if (m_contentLength > kMaxBodySize) {
        return Outcome::bodyTooLarge;
    }
    m_bodyStart = headerLength + kHeaderEnd.size();
    return Outcome::needMore;
}

HttpRequestReader::Outcome HttpRequestReader::takeBodyIfComplete() {
    if (m_buffer.size() - m_bodyStart < m_contentLength) {
        return Outcome::needMore;
    }
    m_request.body = m_buffer.mid(m_bodyStart, m_contentLength);
    m_buffer.clear();
    return Outcome::complete;
}
