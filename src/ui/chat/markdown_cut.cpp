#include "markdown_cut.h"

#include <QRegularExpression>

#include <optional>

namespace {

// Spaces before the text, a tab counting to the next multiple of four.
qsizetype indentOf(QStringView line, qsizetype* textStart) {
    qsizetype columns = 0;
    qsizetype at = 0;
    for (; at < line.size(); ++at) {
        if (line[at] == u' ') {
            ++columns;
        } else if (line[at] == u'\t') {
            columns += 4 - columns % 4;
        } else {
            break;
        }
    }
    *textStart = at;
    return columns;
}

struct Fence {
    QChar mark;
    qsizetype length = 0;
    qsizetype indent = 0;
};

// A line of three or more backticks or tildes (a backtick fence's info string
// has no backtick), whatever its indent.
std::optional<Fence> fenceOf(QStringView line) {
    qsizetype start = 0;
    const qsizetype indent = indentOf(line, &start);
    if (start >= line.size() || (line[start] != u'`' && line[start] != u'~')) {
        return std::nullopt;
    }
    const QChar mark = line[start];
    qsizetype end = start;
    while (end < line.size() && line[end] == mark) {
        ++end;
    }
    if (end - start < 3 || (mark == u'`' && line.mid(end).contains(u'`'))) {
        return std::nullopt;
    }
    return Fence{mark, end - start, indent};
}

bool closes(const Fence& open, QStringView line) {
    const std::optional<Fence> fence = fenceOf(line);
    if (!fence || fence->mark != open.mark || fence->length < open.length) {
        return false;
    }
    qsizetype start = 0;
    indentOf(line, &start);
    if (!line.mid(start + fence->length).trimmed().isEmpty()) {
        return false;
    }
    // At the left edge a fence closes with up to three spaces; an indented one
    // (in a list item, say) only at its own indent.
    return open.indent == 0 ? fence->indent <= 3 : fence->indent == open.indent;
}

// A line that can only start a paragraph or a heading: a letter, an ATX
// heading, a table row, or emphasis on a letter (not a bullet or a rule).
bool startsAFreshBlock(QStringView line) {
    if (line.isEmpty()) {
        return false;
    }
    const QChar first = line[0];
    if (first.isLetter() || first == u'|' || first == u'#') {
        return true;
    }
    if (first != u'*' && first != u'_') {
        return false;
    }
    qsizetype at = 1;
    if (at < line.size() && line[at] == first) {
        ++at;
    }
    return at < line.size() && line[at].isLetterOrNumber();
}

} // namespace

bool ReferenceDefinitions::foundIn(const QString& markdown) {
    static const QRegularExpression definition(
        QStringLiteral("^[ \\t>]*(?:(?:[-*+]|\\d{1,9}[.)])[ \\t]+)*\\[[^\\]\\n]+\\]:"),
        QRegularExpression::MultilineOption);
    m_clean = std::min(m_clean, markdown.size());
    if (definition.match(markdown, m_clean).hasMatch()) {
        return true;
    }
    // The last line may still become one.
    m_clean = markdown.lastIndexOf(u'\n') + 1;
    return false;
}

void ReferenceDefinitions::changedFrom(qsizetype position) {
    if (position < m_clean) {
        m_clean = 0;
    }
}

qsizetype lastMarkdownCut(const QString& markdown, qsizetype from) {
    qsizetype cut = from;
    std::optional<Fence> fence;
    bool afterBlank = false;
    qsizetype lineStart = from;
    while (lineStart < markdown.size()) {
        qsizetype lineEnd = markdown.indexOf(u'\n', lineStart);
        if (lineEnd < 0) {
            lineEnd = markdown.size();
        }
        const QStringView line = QStringView(markdown).mid(lineStart, lineEnd - lineStart);
        const bool blank = line.trimmed().isEmpty();
        if (fence) {
            qsizetype textStart = 0;
            if (closes(*fence, line)) {
                fence.reset();
            } else if (fence->indent > 0 && !blank && indentOf(line, &textStart) < fence->indent) {
                // The fence's list item or quote may have ended here, or not:
                // no cut can be trusted from here on.
                return cut;
            }
        } else {
            fence = fenceOf(line);
            if (!fence && afterBlank && startsAFreshBlock(line)) {
                cut = lineStart;
            }
        }
        afterBlank = blank && !fence;
        lineStart = lineEnd + 1;
    }
    return cut;
}
