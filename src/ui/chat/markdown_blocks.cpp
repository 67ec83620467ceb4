#include "markdown_blocks.h"

#include <QHash>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {

using Kind = MarkdownBlock::Kind;

constexpr auto features = QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                          QTextDocument::MarkdownNoHTML);

struct ListStart {
    int number = 1;
    QChar delimiter = u'.';
};

// The importer numbers every list from 1; a reply that goes on with "2." after
// a code block starts a new list that must still read 2. The lists' first
// numbers, in order, from the source: an item starts a list unless the last
// line before it at its indent or less is an item of the same list.
QList<ListStart> orderedListStarts(const QString& markdown) {
    static const QRegularExpression item(QStringLiteral("^( *)(\\d{1,9})([.)])( |$)"));
    static const QRegularExpression fence(QStringLiteral("^ *(```|~~~)"));
    static const QRegularExpression quote(QStringLiteral("^ {0,3}> ?"));
    QList<ListStart> starts;
    struct Line {
        int quoteDepth;
        int indent;
        bool orderedItem;
    };
    QList<Line> lines;
    bool inFence = false;
    for (QString line : markdown.split(u'\n')) {
        int quoteDepth = 0;
        while (line.contains(quote)) {
            line.remove(quote);
            ++quoteDepth;
        }
        if (line.contains(fence)) {
            inFence = !inFence;
        }
        if (inFence || line.trimmed().isEmpty()) {
            continue;
        }
        int indent = 0;
        while (line.at(indent) == u' ') {
            ++indent;
        }
        const QRegularExpressionMatch match = item.match(line);
        if (match.hasMatch()) {
            const int at = int(match.capturedLength(1));
            bool continues = false;
            for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
                if (it->quoteDepth != quoteDepth || it->indent <= at) {
                    continues = it->quoteDepth == quoteDepth && it->orderedItem && it->indent == at;
                    break;
                }
            }
            if (!continues) {
                starts.append({match.captured(2).toInt(), match.captured(3).at(0)});
            }
            lines.append({quoteDepth, at, true});
        } else {
            lines.append({quoteDepth, indent, false});
        }
    }
    return starts;
}

QString attribute(const QString& value) {
    return value.toHtmlEscaped();
}

// One run of text with its emphasis, code and link as rich text.
QString richRun(const QTextFragment& fragment, const MarkdownStyle& style, QStringList& links,
                bool inHeading) {
    const QTextCharFormat format = fragment.charFormat();
    QString text;
    if (format.isImageFormat()) {
        // Not fetched: the picture's description (or address) as a link to it.
        const QTextImageFormat image = format.toImageFormat();
        const QString alt = image.stringProperty(QTextFormat::ImageAltText);
        text = (alt.isEmpty() ? image.name() : alt).toHtmlEscaped();
        links.append(image.name());
        return QStringLiteral("<a href=\"%1\" style=\"color:%2\">%3</a>")
            .arg(attribute(image.name()), style.linkColor, text);
    }
    text = fragment.text().toHtmlEscaped();
    text.replace(QChar::LineSeparator, QStringLiteral("<br/>"));
    if (format.fontFixedPitch()) {
        text = QStringLiteral("<code style=\"font-family:'%1';background-color:%2\">%3</code>")
                   .arg(style.monoFamily, style.codeBackground, text);
    }
    // A heading is bold as a whole; its runs are not marked again.
    if (format.fontWeight() >= QFont::DemiBold && !inHeading) {
        text = QStringLiteral("<b>%1</b>").arg(text);
    }
    if (format.fontItalic()) {
        text = QStringLiteral("<i>%1</i>").arg(text);
    }
    if (format.fontStrikeOut()) {
        text = QStringLiteral("<s>%1</s>").arg(text);
    }
    if (format.isAnchor() && !format.anchorHref().isEmpty()) {
        links.append(format.anchorHref());
        text = QStringLiteral("<a href=\"%1\" style=\"color:%2\">%3</a>")
                   .arg(attribute(format.anchorHref()), style.linkColor, text);
    }
    return text;
}

QString richText(const QTextBlock& block, const MarkdownStyle& style, QStringList& links) {
    QString rich;
    const bool inHeading = block.blockFormat().headingLevel() > 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        rich += richRun(it.fragment(), style, links, inHeading);
    }
    return rich;
}

QString visibleText(const QTextBlock& block) {
    QString text;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            const QString alt = image.stringProperty(QTextFormat::ImageAltText);
            text += alt.isEmpty() ? image.name() : alt;
        } else {
            text += it.fragment().text();
        }
    }
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

QString listMarker(const QTextBlock& block, const QHash<QTextList*, ListStart>& starts) {
    QTextList* list = block.textList();
    switch (block.blockFormat().marker()) {
    case QTextBlockFormat::MarkerType::Checked:
        return QStringLiteral("☑");
    case QTextBlockFormat::MarkerType::Unchecked:
        return QStringLiteral("☐");
    case QTextBlockFormat::MarkerType::NoMarker:
        break;
    }
    if (list->format().style() >= QTextListFormat::ListSquare) {
        // A bullet that tells the depth, as the importer gives every level a disc.
        static const QString bullets[] = {QStringLiteral("•"), QStringLiteral("◦"),
                                          QStringLiteral("▪")};
        return bullets[std::clamp(list->format().indent(), 1, 3) - 1];
    }
    const ListStart start = starts.value(list);
    return QString::number(start.number + list->itemNumber(block)) + start.delimiter;
}

// A table, read cell by cell, as one block. The layout keeps a border's width
// between cells; the view draws the lines there itself.
MarkdownBlock tableBlock(QTextTable* table, const MarkdownStyle& style) {
    MarkdownBlock block;
    block.kind = Kind::table;
    QString rich = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"6\" border=\"1\" "
                                  "style=\"border-collapse:collapse;border-style:none\">");
    QStringList rows;
    for (int r = 0; r < table->rows(); ++r) {
        const QString tag = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
        rich += QStringLiteral("<tr>");
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QString cellRich;
            QStringList cellText;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                const QTextBlock inCell = it.currentBlock();
                if (!inCell.isValid()) {
                    continue;
                }
                cellRich += richText(inCell, style, block.links);
                cellText.append(visibleText(inCell));
            }
            rich += QStringLiteral("<%1 align=\"left\">%2</%1>").arg(tag, cellRich);
            cells.append(cellText.join(u' ').trimmed());
        }
        rich += QStringLiteral("</tr>");
        rows.append(cells.join(u'\t'));
    }
    block.richText = rich + QStringLiteral("</table>");
    block.text = rows.join(u'\n');
    return block;
}

} // namespace

QList<MarkdownBlock> markdownBlocks(const QString& markdown, const MarkdownStyle& style) {
    QTextDocument document;
    document.setMarkdown(markdown, features);
    QList<MarkdownBlock> blocks;
    QTextTable* lastTable = nullptr;
    QHash<QTextList*, ListStart> starts;
    {
        QList<QTextList*> ordered;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            QTextList* list = block.textList();
            if (list && list->format().style() < QTextListFormat::ListSquare &&
                !ordered.contains(list)) {
                ordered.append(list);
            }
        }
        // Where the two readings disagree on the lists, each counts from 1.
        const QList<ListStart> found = orderedListStarts(markdown);
        for (qsizetype i = 0; i < ordered.size() && found.size() == ordered.size(); ++i) {
            starts.insert(ordered.at(i), found.at(i));
        }
    }
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (auto* table = qobject_cast<QTextTable*>(document.frameAt(block.position()))) {
            if (table != lastTable) {
                lastTable = table;
                blocks.append(tableBlock(table, style));
            }
            continue;
        }
        const QTextBlockFormat format = block.blockFormat();
        const int quoteDepth = format.intProperty(QTextFormat::BlockQuoteLevel);
        if (format.hasProperty(QTextFormat::BlockCodeFence)) {
            // The importer makes a block of every line; a code block is the run
            // of them in the same quote, read as one.
            const QString language = format.stringProperty(QTextFormat::BlockCodeLanguage);
            MarkdownBlock* previous = blocks.isEmpty() ? nullptr : &blocks.last();
            const bool continues =
                previous && previous->kind == Kind::code && previous->quoteDepth == quoteDepth &&
                previous->language == language &&
                block.previous().blockFormat().hasProperty(QTextFormat::BlockCodeFence);
            if (continues) {
                previous->text += u'\n' + visibleText(block);
            } else {
                MarkdownBlock code;
                code.kind = Kind::code;
                code.quoteDepth = quoteDepth;
                code.listDepth = format.indent();
                code.language = language;
                code.text = visibleText(block);
                blocks.append(code);
            }
            continue;
        }
        MarkdownBlock item;
        item.quoteDepth = quoteDepth;
        if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
            item.kind = Kind::rule;
            blocks.append(item);
            continue;
        }
        item.richText = richText(block, style, item.links);
        item.text = visibleText(block);
        if (item.text.trimmed().isEmpty()) {
            continue; // the importer's empty blocks between a table and what follows
        }
        if (block.textList()) {
            item.kind = Kind::listItem;
            item.listDepth = block.textList()->format().indent();
            item.marker = listMarker(block, starts);
        } else if (format.headingLevel() > 0) {
            item.kind = Kind::heading;
            item.headingLevel = format.headingLevel();
        } else {
            // A later paragraph of a list item stays under its item.
            item.listDepth = format.indent();
        }
        blocks.append(item);
    }
    return blocks;
}
