#include "formatted_reply.h"

#include <algorithm>

namespace {

// Drawn a hair short of opaque: the software renderer keeps the region that
// opaque rectangles cover and checks every node against it on every frame, and
// a table's code spans would make it hundreds of rectangles.
QString almostOpaque(QColor color) {
    color.setAlpha(std::min(color.alpha(), 254));
    return color.name(QColor::HexArgb);
}

} // namespace

int FormattedReply::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_blocks.size());
}

QVariant FormattedReply::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const MarkdownBlock& block = m_blocks.at(index.row());
    switch (role) {
    case KindRole:
        switch (block.kind) {
        case MarkdownBlock::Kind::paragraph:
            return QStringLiteral("paragraph");
        case MarkdownBlock::Kind::heading:
            return QStringLiteral("heading");
        case MarkdownBlock::Kind::listItem:
            return QStringLiteral("listItem");
        case MarkdownBlock::Kind::code:
            return QStringLiteral("code");
        case MarkdownBlock::Kind::table:
            return QStringLiteral("table");
        case MarkdownBlock::Kind::rule:
            return QStringLiteral("rule");
        }
        return {};
    case HeadingLevelRole:
        return block.headingLevel;
    case ListDepthRole:
        return block.listDepth;
    case QuoteDepthRole:
        return block.quoteDepth;
    case MarkerRole:
        return block.marker;
    case RichTextRole:
        return block.richText;
    case PlainTextRole:
        return block.text;
    case LanguageRole:
        return block.language;
    default:
        return {};
    }
}

QHash<int, QByteArray> FormattedReply::roleNames() const {
    return {{KindRole, "kind"},           {HeadingLevelRole, "headingLevel"},
            {ListDepthRole, "listDepth"}, {QuoteDepthRole, "quoteDepth"},
            {MarkerRole, "marker"},       {RichTextRole, "richText"},
            {PlainTextRole, "plainText"}, {LanguageRole, "language"}};
}

void FormattedReply::setMarkdown(const QString& markdown) {
    if (m_markdown == markdown) {
        return;
    }
    const qsizetype common = std::min(markdown.size(), m_markdown.size());
    const qsizetype same =
        std::mismatch(markdown.cbegin(), markdown.cbegin() + common, m_markdown.cbegin()).first -
        markdown.cbegin();
    if (same < m_cut) {
        forgetCut();
    }
    m_references.changedFrom(same);
    m_markdown = markdown;
    rebuild();
    Q_EMIT markdownChanged();
}

void FormattedReply::setStyle(const MarkdownStyle& style) {
    if (m_style == style) {
        return;
    }
    m_style = style;
    forgetCut(); // the rich text carries the style
    rebuild();
    Q_EMIT styleChanged();
}

void FormattedReply::setLinkColor(const QColor& color) {
    MarkdownStyle style = m_style;
    style.linkColor = color.name();
    setStyle(style);
}

void FormattedReply::setCodeBackground(const QColor& color) {
    MarkdownStyle style = m_style;
    style.codeBackground = almostOpaque(color);
    setStyle(style);
}

void FormattedReply::setMonoFamily(const QString& family) {
    MarkdownStyle style = m_style;
    style.monoFamily = family;
    setStyle(style);
}

void FormattedReply::forgetCut() {
    m_cut = 0;
    m_cutBlocks = 0;
}

// The blocks before the cut are kept; a new cut further on reads the text up
// to it once, and the rest is read on every change.
QList<MarkdownBlock> FormattedReply::readBlocks() {
    const qsizetype cut = m_references.foundIn(m_markdown) ? 0 : lastMarkdownCut(m_markdown, m_cut);
    if (cut < m_cut) { // a reference definition arrived: it reaches back
        forgetCut();
    }
    QList<MarkdownBlock> blocks = m_blocks.mid(0, m_cutBlocks);
    if (cut > m_cut) {
        blocks += markdownBlocks(m_markdown.mid(m_cut, cut - m_cut), m_style);
        m_cut = cut;
        m_cutBlocks = int(blocks.size());
    }
    blocks += markdownBlocks(m_markdown.mid(m_cut), m_style);
    return blocks;
}

// Rows that stay the same keep their delegates: only the rows from the first
// difference on are changed, added or removed.
void FormattedReply::rebuild() {
    QList<MarkdownBlock> fresh = readBlocks();
    const int kept = int(std::min(fresh.size(), m_blocks.size()));
    int same = 0;
    while (same < kept && fresh.at(same) == m_blocks.at(same)) {
        ++same;
    }
    if (fresh.size() < m_blocks.size()) {
        beginRemoveRows({}, int(fresh.size()), int(m_blocks.size()) - 1);
        m_blocks.resize(fresh.size());
        endRemoveRows();
    }
    const int overlap = int(m_blocks.size());
    for (int row = same; row < overlap; ++row) {
        m_blocks[row] = fresh.at(row);
    }
    if (same < overlap) {
        Q_EMIT dataChanged(index(same), index(overlap - 1));
    }
    if (fresh.size() > m_blocks.size()) {
        beginInsertRows({}, overlap, int(fresh.size()) - 1);
        m_blocks = std::move(fresh);
        endInsertRows();
    }
}
