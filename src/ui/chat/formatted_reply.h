#pragma once

#include "markdown_blocks.h"
#include "markdown_cut.h"

#include <QAbstractListModel>
#include <QColor>
#include <QQmlEngine>

// A reply's Markdown as a list of blocks for a view: one row per paragraph,
// heading, list item, code block, table or rule. A new text (a streamed reply
// grows piece by piece) changes only the rows that differ, so the rows above
// the end keep their items; and only the text after the last cut is read
// again, as long as the text before it stays the same.
class FormattedReply : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString markdown READ markdown WRITE setMarkdown NOTIFY markdownChanged)
    Q_PROPERTY(QColor linkColor READ linkColor WRITE setLinkColor NOTIFY styleChanged)
    Q_PROPERTY(
        QColor codeBackground READ codeBackground WRITE setCodeBackground NOTIFY styleChanged)
    Q_PROPERTY(QString monoFamily READ monoFamily WRITE setMonoFamily NOTIFY styleChanged)

public:
    enum Roles {
        KindRole = Qt::UserRole + 1,
        HeadingLevelRole,
        ListDepthRole,
        QuoteDepthRole,
        MarkerRole,
        RichTextRole,
        PlainTextRole,
        LanguageRole,
    };
    Q_ENUM(Roles)

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString markdown() const { return m_markdown; }
    void setMarkdown(const QString& markdown);
    QColor linkColor() const { return QColor(m_style.linkColor); }
    void setLinkColor(const QColor& color);
    QColor codeBackground() const { return QColor(m_style.codeBackground); }
    void setCodeBackground(const QColor& color);
    QString monoFamily() const { return m_style.monoFamily; }
    void setMonoFamily(const QString& family);

    const QList<MarkdownBlock>& blocks() const { return m_blocks; }

Q_SIGNALS:
    void markdownChanged();
    void styleChanged();

private:
    void setStyle(const MarkdownStyle& style);
    void rebuild();
    QList<MarkdownBlock> readBlocks();
    void forgetCut();

    QString m_markdown;
    MarkdownStyle m_style;
    QList<MarkdownBlock> m_blocks;
    // The text up to m_cut reads alone as the first m_cutBlocks blocks.
    qsizetype m_cut = 0;
    int m_cutBlocks = 0;
    ReferenceDefinitions m_references;
};
