#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QQuickItem>
#include <QQuickTextDocument>

// The lines of a reply's table, drawn over the text view that shows it. The
// text view would draw four rectangles for each cell and make them all again
// whenever a cell changes (a streamed table changes on every frame); the
// software renderer then spends each frame merging hundreds of small regions.
// Here a table is one line per row and column edge, kept from frame to frame.
class TableRules : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQuickTextDocument* document READ document WRITE setDocument NOTIFY documentChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    // Each line's rectangle, in the item's coordinates.
    Q_PROPERTY(QList<QRectF> lines READ lines NOTIFY linesChanged)

public:
    explicit TableRules(QQuickItem* parent = nullptr);

    QQuickTextDocument* document() const { return m_document; }
    void setDocument(QQuickTextDocument* document);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QList<QRectF> lines() const { return m_lines; }

Q_SIGNALS:
    void documentChanged();
    void colorChanged();
    void linesChanged();

protected:
    void updatePolish() override;
    QSGNode* updatePaintNode(QSGNode* node, UpdatePaintNodeData* data) override;

private:
    QPointer<QQuickTextDocument> m_document;
    QList<QMetaObject::Connection> m_connections;
    QColor m_color;
    QList<QRectF> m_lines;
    bool m_colorChanged = false;
};
