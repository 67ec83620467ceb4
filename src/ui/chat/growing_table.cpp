#include "growing_table.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

#include <optional>

namespace {

// A table's rich text as written for a reply: the table's opening tag, then
// its rows ("<tr>…</tr>", whose cells' text is escaped), then "</table>".
struct TableRows {
    QStringView opening;
    QList<QStringView> rows;
};

std::optional<TableRows> tableRows(QStringView html) {
    static const QString rowStart = QStringLiteral("<tr>");
    static const QString rowEnd = QStringLiteral("</tr>");
    static const QString closing = QStringLiteral("</table>");
    const qsizetype first = html.indexOf(rowStart);
    if (first < 0 || !html.endsWith(closing)) {
        return std::nullopt;
    }
    TableRows table{html.first(first), {}};
    qsizetype at = first;
    while (html.sliced(at).startsWith(rowStart)) {
        const qsizetype end = html.indexOf(rowEnd, at);
        if (end < 0) {
            return std::nullopt;
        }
        table.rows.append(html.sliced(at, end + rowEnd.size() - at));
        at = end + rowEnd.size();
    }
    if (at != html.size() - closing.size()) {
        return std::nullopt;
    }
    return table;
}

QTextCursor contentOf(const QTextTableCell& cell) {
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor;
}

// Each cell a paragraph, as a reply's table cells are: what is copied whole.
bool cellsAreParagraphs(const QTextTable* table) {
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.firstCursorPosition().block() != cell.lastCursorPosition().block()) {
                return false;
            }
        }
    }
    return true;
}

// A cell's text with its runs' formats, then its paragraph's format (the
// inserted text would leave some of the target's). A new cell has the cell
// format of the one above it, the same in every row below the header.
void copyCell(const QTextTableCell& from, const QTextTableCell& to) {
    const QTextCursor source = contentOf(from);
    QTextCursor target = contentOf(to);
    target.insertFragment(source.selection());
    target.setBlockFormat(source.blockFormat());
}

} // namespace

QTextTable* tableBlockTable(const QTextDocument* document) {
    const QList<QTextFrame*> frames = document->rootFrame()->childFrames();
    return frames.size() == 1 ? qobject_cast<QTextTable*>(frames.first()) : nullptr;
}

bool GrowingTable::grow(QQuickTextDocument* document, const QString& shown, const QString& html) {
    return document && grow(document->textDocument(), shown, html);
}

bool GrowingTable::grow(QTextDocument* document, const QString& shown, const QString& html) {
    const std::optional<TableRows> before = tableRows(shown);
    const std::optional<TableRows> after = tableRows(html);
    QTextTable* table = document ? tableBlockTable(document) : nullptr;
    // The header row stays as read whole: a row after it is the least kept.
    if (!before || !after || !table || before->opening != after->opening ||
        before->rows.size() < 2 || after->rows.size() < before->rows.size() ||
        table->rows() != before->rows.size()) {
        return false;
    }
    const qsizetype kept = before->rows.size() - 1;
    if (!std::equal(before->rows.cbegin(), before->rows.cbegin() + kept, after->rows.cbegin())) {
        return false;
    }
    // The rows to show are read as a table of their own under the same
    // header, so that each cell has the formats the whole table read at once
    // would give it.
    QString rows = after->opening.toString();
    rows += after->rows.first();
    for (qsizetype row = kept; row < after->rows.size(); ++row) {
        rows += after->rows.at(row);
    }
    QTextDocument read;
    read.setHtml(rows + QStringLiteral("</table>"));
    const QTextTable* source = tableBlockTable(&read);
    if (!source || source->columns() != table->columns() ||
        source->rows() != after->rows.size() - kept + 1 || !cellsAreParagraphs(source)) {
        return false;
    }
    QTextCursor edit(document);
    edit.beginEditBlock();
    if (after->rows.size() > before->rows.size()) {
        table->appendRows(int(after->rows.size() - before->rows.size()));
    }
    for (qsizetype row = kept; row < after->rows.size(); ++row) {
        if (row == kept && after->rows.at(row) == before->rows.at(row)) {
            continue;
        }
        for (int column = 0; column < table->columns(); ++column) {
            copyCell(source->cellAt(int(row - kept + 1), column), table->cellAt(int(row), column));
        }
    }
    edit.endEditBlock();
    return true;
}
