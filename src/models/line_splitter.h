#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>

#include <optional>

// Cuts a byte stream into lines. Bytes are held until their line is complete,
// so a line, and any multi-byte character in it, that arrives split across two
// network reads comes out whole. "\n", "\r\n" and a lone "\r" each end a line
// and are not part of it, also when "\r" and "\n" arrive in different reads.
// A line longer than the limit is dropped whole: a peer that never sends a line
// break cannot make the buffer grow without bound.
class LineSplitter {
public:
    static constexpr qsizetype defaultMaxLineLength = 8 * 1024 * 1024;

    explicit LineSplitter(qsizetype maxLineLength = defaultMaxLineLength);

    // The lines that `bytes` completes, in order.
    QByteArrayList feed(QByteArrayView bytes);

    // At the end of the input: the last line when it had no line break.
    std::optional<QByteArray> finish();

private:
    void keepPartial(QByteArrayView bytes);

    QByteArray m_partial;
    qsizetype m_maxLineLength;
    bool m_afterCarriageReturn = false; // a following "\n" belongs to that break
    bool m_discarding = false;          // inside a line that is already too long
};
