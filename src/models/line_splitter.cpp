#include "models/line_splitter.h"

#include <algorithm>
#include <utility>

LineSplitter::LineSplitter(qsizetype maxLineLength) : m_maxLineLength(maxLineLength) {}

QByteArrayList LineSplitter::feed(QByteArrayView bytes) {
    QByteArrayList lines;
    const char* begin = bytes.data();
    const char* const end = begin + bytes.size();
    if (m_afterCarriageReturn && begin != end) {
        m_afterCarriageReturn = false;
        if (*begin == '\n') {
            ++begin;
        }
    }
    const auto isBreak = [](char c) { return c == '\n' || c == '\r'; };
    while (begin != end) {
        const char* const lineEnd = std::find_if(begin, end, isBreak);
        if (lineEnd == end) {
            keepPartial(QByteArrayView(begin, end));
            break;
        }
        const QByteArrayView tail(begin, lineEnd);
        if (!m_discarding && m_partial.size() + tail.size() <= m_maxLineLength) {
            lines.append(m_partial.isEmpty() ? tail.toByteArray() : m_partial + tail.toByteArray());
        }
        m_partial.clear();
        m_discarding = false;
        begin = lineEnd + 1;
        if (*lineEnd == '\r') {
            if (begin == end) {
                m_afterCarriageReturn = true;
            } else if (*begin == '\n') {
                ++begin;
            }
        }
    }
    return lines;
}

std::optional<QByteArray> LineSplitter::finish() {
    const bool complete = !m_discarding && !m_partial.isEmpty();
    QByteArray last = std::exchange(m_partial, {});
    m_discarding = false;
    m_afterCarriageReturn = false;
    if (!complete) {
        return std::nullopt;
    }
    return last;
}

void LineSplitter::keepPartial(QByteArrayView bytes) {
    if (m_discarding) {
        return;
    }
    if (m_partial.size() + bytes.size() > m_maxLineLength) {
        m_partial.clear();
        m_discarding = true;
        return;
    }
    m_partial.append(bytes);
}
