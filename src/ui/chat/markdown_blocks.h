#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A reply's Markdown (CommonMark with GitHub tables) as the blocks a view
// draws one by one: paragraphs, headings, list items, code blocks, tables and
// rules, each with its inline formatting as escaped rich text. Raw HTML in the
// reply stays text and images are shown as links, never fetched.
struct MarkdownBlock {
    enum class Kind { paragraph, heading, listItem, code, table, rule };

    Kind kind = Kind::paragraph;
    int headingLevel = 0;
    // How deep in lists (0 outside any) and in quotes (0 outside any).
    int listDepth = 0;
    int quoteDepth = 0;
    // A list item's bullet, number ("3.") or check box.
    QString marker;
    // The block's content as rich text, every character from the reply escaped;
    // empty for code, which is shown as it is.
    QString richText;
    // What a reader sees: the text, the code, or a table's cells (tabs between
    // the cells of a row, a line per row).
    QString text;
    QString language;
    QStringList links;

    bool operator==(const MarkdownBlock&) const = default;
};

// The colours and font the rich text carries (a rich-text run cannot refer to
// the theme).
struct MarkdownStyle {
    QString linkColor = QStringLiteral("#2060d0");
    QString codeBackground = QStringLiteral("#f0efec");
    QString monoFamily = QStringLiteral("monospace");

    bool operator==(const MarkdownStyle&) const = default;
};

QList<MarkdownBlock> markdownBlocks(const QString& markdown, const MarkdownStyle& style = {});
