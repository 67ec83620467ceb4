#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The text of bytes that are valid UTF-8 throughout, or nothing. Unlike
// QString::fromUtf8, nothing is replaced silently; a leading byte-order mark is kept.
std::optional<QString> decodeUtf8Strictly(QByteArrayView bytes);

// The length of bytes without a multi-byte sequence that the end cuts short, so
// that a stream can be split between chunks (or capped) at a character boundary.
qsizetype completeUtf8Length(QByteArrayView bytes);

// One output stream of a child process: the first keptLimit bytes, the total
// count and whether the whole stream was valid UTF-8. Memory stays bounded
// however much the child writes.
class Utf8StreamCapture {
public:
    explicit Utf8StreamCapture(qsizetype keptLimit);

    void append(QByteArrayView chunk);

    bool isValidUtf8() const { return m_valid && m_pending.isEmpty(); }
    qint64 totalBytes() const { return m_total; }
    bool isCapped() const { return m_total > m_kept.size(); }
    // The kept bytes as text, cut at a character boundary when capped; empty
    // when the stream is not valid UTF-8.
    QString text() const;

private:
    qsizetype m_keptLimit;
    QByteArray m_kept;
    QByteArray m_pending; // an unfinished sequence at the end of the last chunk
    qint64 m_total = 0;
    bool m_valid = true;
};
