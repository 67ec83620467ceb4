#include "table_rules.h"

#include "growing_table.h"

#include <QAbstractTextDocumentLayout>
#include <QQuickWindow>
#include <QSGRectangleNode>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>

namespace {

// The borders lie in the gaps the layout leaves between cells: a cell is its
// text and its padding, its border's width before it on each axis, and one
// more border after the last row and column.
QList<QRectF> tableLines(const QTextDocument* document) {
    const QTextTable* table = tableBlockTable(document);
    if (!table || table->rows() == 0 || table->columns() == 0) {
        return {};
    }
    const QAbstractTextDocumentLayout* layout = document->documentLayout();
    const auto textOf = [&](int row, int column) {
        const QTextTableCell cell = table->cellAt(row, column);
        return layout->blockBoundingRect(cell.firstCursorPosition().block())
            .united(layout->blockBoundingRect(cell.lastCursorPosition().block()));
    };
    const qreal border = table->format().border();
    const qreal padding = table->format().cellPadding();
    QList<qreal> rowTops;
    for (int row = 0; row < table->rows(); ++row) {
        rowTops.append(textOf(row, 0).top() - padding - border);
    }
    QList<qreal> columnLefts;
    for (int column = 0; column < table->columns(); ++column) {
        columnLefts.append(textOf(0, column).left() - padding - border);
    }
    qreal bottom = 0;
    for (int column = 0; column < table->columns(); ++column) {
        bottom = std::max(bottom, textOf(table->rows() - 1, column).bottom() + padding);
    }
    rowTops.append(bottom);
    columnLefts.append(textOf(0, table->columns() - 1).right() + padding);
    const qreal top = rowTops.first();
    const qreal left = columnLefts.first();
    const qreal right = columnLefts.last() + border;
    QList<QRectF> lines;
    for (const qreal y : std::as_const(rowTops)) {
        lines.append(QRectF(left, y, right - left, border));
    }
    for (const qreal x : std::as_const(columnLefts)) {
        lines.append(QRectF(x, top, border, bottom + border - top));
    }
    return lines;
}

} // namespace

TableRules::TableRules(QQuickItem* parent) : QQuickItem(parent) {}

void TableRules::setDocument(QQuickTextDocument* document) {
    if (document == m_document) {
        return;
    }
    for (const QMetaObject::Connection& connection : std::as_const(m_connections)) {
        disconnect(connection);
    }
    m_connections.clear();
    m_document = document;
    if (document) {
        // Most blocks never hold a table: they keep no node for the renderer to
        // walk. A table that goes later takes its node with it (updatePaintNode).
        setFlag(ItemHasContents);
        QTextDocument* text = document->textDocument();
        const auto again = [this] { polish(); };
        m_connections = {
            connect(text, &QTextDocument::contentsChanged, this, again),
            connect(text->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                    again),
            connect(text->documentLayout(), &QAbstractTextDocumentLayout::update, this, again)};
    }
    polish();
    Q_EMIT documentChanged();
}

void TableRules::setColor(const QColor& color) {
    if (color == m_color) {
        return;
    }
    m_color = color;
    m_colorChanged = true;
    update();
    Q_EMIT colorChanged();
}

void TableRules::updatePolish() {
    QList<QRectF> lines = m_document ? tableLines(m_document->textDocument()) : QList<QRectF>();
    if (lines != m_lines) {
        m_lines = std::move(lines);
        update();
        Q_EMIT linesChanged();
    }
}

// Each line keeps its node: one that did not move is not drawn again.
QSGNode* TableRules::updatePaintNode(QSGNode* node, UpdatePaintNodeData*) {
    if (m_lines.isEmpty()) {
        delete node;
        return nullptr;
    }
    if (!node) {
        node = new QSGNode;
    }
    while (node->childCount() > m_lines.size()) {
        QSGNode* extra = node->lastChild();
        node->removeChildNode(extra);
        delete extra;
    }
    while (node->childCount() < m_lines.size()) {
        QSGRectangleNode* line = window()->createRectangleNode();
        line->setColor(m_color);
        node->appendChildNode(line);
    }
    int at = 0;
    for (QSGNode* child = node->firstChild(); child; child = child->nextSibling(), ++at) {
        auto* line = static_cast<QSGRectangleNode*>(child);
        if (line->rect() != m_lines.at(at)) {
            line->setRect(m_lines.at(at));
        }
        if (m_colorChanged) {
            line->setColor(m_color);
        }
    }
    m_colorChanged = false;
    return node;
}
