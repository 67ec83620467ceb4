// A reply's Markdown as the blocks the transcript draws: what a reader sees,
// the code blocks and links found, raw HTML left as text, the same when it
// streams in (a table in it grown row by row drawn as the table set whole),
// which links open without asking, and which rows a growing reply changes.

#include "support/json_rows.h"
#include "ui/chat/formatted_reply.h"
#include "ui/chat/growing_table.h"
#include "ui/chat/markdown_blocks.h"
#include "ui/chat/reply_text.h"

#include <QSignalSpy>
#include <QTextDocument>
#include <QTextTable>

class TestReplyMarkdown : public QObject {
    Q_OBJECT

private:
    // What a document draws: its text with every block's, run's and table
    // cell's format (toHtml leaves out some, a cell's alignment for one).
    static QVariantList drawn(const QTextDocument& document) {
        QVariantList shape;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            shape << QVariant::fromValue(block.blockFormat().properties())
                  << QVariant::fromValue(block.charFormat().properties());
            for (auto run = block.begin(); !run.atEnd(); ++run) {
                shape << run.fragment().text()
                      << QVariant::fromValue(run.fragment().charFormat().properties());
            }
            if (auto* table = qobject_cast<QTextTable*>(document.frameAt(block.position()))) {
                const QTextTableCell cell = table->cellAt(block.position());
                shape << QVariant::fromValue(cell.format().properties());
            }
        }
        return shape;
    }

    template <typename Field>
    static void compareColumn(const QJsonObject& row, const char* column,
                              const QList<MarkdownBlock>& blocks, Field field) {
        if (!row.contains(QLatin1String(column))) {
            return;
        }
        const QJsonArray expected = row.value(QLatin1String(column)).toArray();
        QCOMPARE(blocks.size(), expected.size());
        for (int i = 0; i < blocks.size(); ++i) {
            QCOMPARE(QJsonValue(blocks.at(i).*field), expected.at(i));
        }
    }

private Q_SLOTS:
    void blocks_data() { addJsonRows("ui/reply_markdown.json", "blocks"); }
    void blocks() {
        QFETCH(QJsonObject, row);
        FormattedReply reply;
        reply.setMarkdown(row.value("markdown").toString());
        const QList<MarkdownBlock>& blocks = reply.blocks();

        QStringList kinds;
        QStringList texts;
        QStringList links;
        QString rich;
        for (const MarkdownBlock& block : blocks) {
            kinds
                << reply.data(reply.index(int(kinds.size())), FormattedReply::KindRole).toString();
            texts << block.text;
            links << block.links;
            rich += block.richText;
        }
        QCOMPARE(kinds, jsonTexts(row.value("kinds")));
        QCOMPARE(texts, jsonTexts(row.value("texts")));
        QCOMPARE(links, jsonTexts(row.value("links")));
        compareColumn(row, "markers", blocks, &MarkdownBlock::marker);
        compareColumn(row, "listDepths", blocks, &MarkdownBlock::listDepth);
        compareColumn(row, "quoteDepths", blocks, &MarkdownBlock::quoteDepth);
        compareColumn(row, "languages", blocks, &MarkdownBlock::language);
        for (const QString& part : jsonTexts(row.value("rich"))) {
            QVERIFY2(rich.contains(part), qPrintable(part + " not in " + rich));
        }
        for (const QString& part : jsonTexts(row.value("notRich"))) {
            QVERIFY2(!rich.contains(part, Qt::CaseInsensitive), qPrintable(part + " in " + rich));
        }

        // Streamed a few characters at a time, read again only after its last
        // cut, it reads at every step as the same text read whole; a table at
        // its end, grown row by row where it can be, as the same table set whole.
        const QString markdown = row.value("markdown").toString();
        FormattedReply streamed;
        QTextDocument grown;
        QString shownTable;
        int grownSteps = 0;
        for (qsizetype end = 1; end <= markdown.size(); end += 3) {
            streamed.setMarkdown(markdown.left(end));
            QCOMPARE(streamed.blocks(), markdownBlocks(markdown.left(end)));
            const MarkdownBlock* last =
                streamed.blocks().isEmpty() ? nullptr : &streamed.blocks().last();
            const QString table =
                last && last->kind == MarkdownBlock::Kind::table ? last->richText : QString();
            if (GrowingTable::grow(&grown, shownTable, table)) {
                ++grownSteps;
            } else {
                grown.setHtml(table);
            }
            QTextDocument whole;
            whole.setHtml(table);
            QCOMPARE(drawn(grown), drawn(whole));
            shownTable = table;
        }
        QCOMPARE(grownSteps > 0, row.value("grows").toBool());
        streamed.setMarkdown(markdown);
        QCOMPARE(streamed.blocks(), blocks);
    }

    void linkSafety_data() { addJsonRows("ui/reply_markdown.json", "links"); }
    void linkSafety() {
        QFETCH(QJsonObject, row);
        QCOMPARE(ReplyText::opensWithoutAsking(QUrl(row.value("url").toString())),
                 row.value("opens").toBool());
    }

    // A streamed reply grows: the blocks before the growing end keep their rows.
    void growth_data() { addJsonRows("ui/reply_markdown.json", "growth"); }
    void growth() {
        QFETCH(QJsonObject, row);
        FormattedReply reply;
        reply.setMarkdown(row.value("before").toString());
        const QList<MarkdownBlock> before = reply.blocks();
        QSignalSpy changed(&reply, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(&reply, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&reply, &QAbstractItemModel::rowsRemoved);
        reply.setMarkdown(row.value("after").toString());

        const int unchanged = row.value("unchanged").toInt();
        QCOMPARE(reply.blocks(), markdownBlocks(row.value("after").toString()));
        for (const QList<QVariant>& signal : changed) {
            QCOMPARE_GE(signal.at(0).toModelIndex().row(), unchanged);
        }
        for (const QList<QVariant>& signal : inserted + removed) {
            QCOMPARE_GE(signal.at(1).toInt(), unchanged);
        }
        QCOMPARE_GT(changed.size() + inserted.size() + removed.size(), 0);
        for (int i = 0; i < unchanged; ++i) {
            QCOMPARE(reply.blocks().at(i), before.at(i));
        }
    }

    // A table's lines and a code span's ground are drawn in the theme's
    // colours, a translucent one as translucent (not its colour made solid),
    // an opaque one a hair short of opaque (so the software renderer does not
    // track each of them as hiding what is under it).
    void themeColours_data() {
        QTest::addColumn<QColor>("given");
        QTest::addColumn<int>("alpha");
        QTest::newRow("translucent") << QColor::fromString("#12000000") << 0x12;
        QTest::newRow("opaque") << QColor::fromString("#F2F2F0") << 254;
    }
    void themeColours() {
        QFETCH(QColor, given);
        QFETCH(int, alpha);
        FormattedReply reply;
        reply.setCodeBackground(given);
        reply.setMarkdown(QStringLiteral("| name | size |\n|---|---|\n| `a.txt` | 2 KB |"));
        QTextDocument document;
        document.setHtml(reply.data(reply.index(0), FormattedReply::RichTextRole).toString());
        auto* table = qobject_cast<QTextTable*>(document.rootFrame()->childFrames().value(0));
        QVERIFY(table);
        const QTextBlock cell = table->cellAt(1, 0).firstCursorPosition().block();
        const QColor ground = cell.begin().fragment().charFormat().background().color();
        QCOMPARE(ground.rgb(), given.rgb());
        QCOMPARE(ground.alpha(), alpha);
    }
};

QTEST_MAIN(TestReplyMarkdown)
#include "tst_reply_markdown.moc"
