#include "tools/files/utf8_text.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// How many bytes the sequence that starts with lead claims; 1 for ASCII and
// for bytes that cannot start a sequence (the validator rejects those).
qsizetype sequenceLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    if (byte >= 0xF0 && byte <= 0xF7) {
        return 4;
    }
    if (byte >= 0xE0) {
        return byte <= 0xEF ? 3 : 1;
    }
    if (byte >= 0xC0) {
        return 2;
    }
    return 1;
}

} // namespace

std::optional<QString> decodeUtf8Strictly(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

qsizetype completeUtf8Length(QByteArrayView bytes) {
    const qsizetype size = bytes.size();
    // A sequence is at most four bytes, so its lead is among the last four.
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, size); ++back) {
        const char byte = bytes[size - back];
        if (!isContinuationByte(byte)) {
            return sequenceLength(byte) > back ? size - back : size;
        }
    }
    return size;
}

Utf8StreamCapture::Utf8StreamCapture(qsizetype keptLimit) : m_keptLimit(keptLimit) {}

void Utf8StreamCapture::append(QByteArrayView chunk) {
    m_total += chunk.size();
    if (m_kept.size() < m_keptLimit) {
        m_kept.append(chunk.first(std::min(chunk.size(), m_keptLimit - m_kept.size())));
    }
    if (!m_valid) {
        return;
    }
    QByteArray joined;
    if (!m_pending.isEmpty()) {
        joined = m_pending;
        joined.append(chunk);
        chunk = joined;
    }
    const qsizetype complete = completeUtf8Length(chunk);
    m_valid = chunk.first(complete).isValidUtf8();
    m_pending = chunk.sliced(complete).toByteArray();
}

QString Utf8StreamCapture::text() const {
    if (!isValidUtf8()) {
        return {};
    }
    const QByteArrayView kept(m_kept);
    return decodeUtf8Strictly(isCapped() ? kept.first(completeUtf8Length(kept)) : kept)
        .value_or(QString());
}
