#pragma once

#include <QQuickItem>
#include <QString>

// A text that may grow many times between two frames (a reply streamed in
// small pieces), handed on to `current` once, as the next frame begins: what
// reads `current` parses and lays it out once a frame, however many pieces
// came. A text that does not just grow what was handed on (a replaced reply,
// another message's in a reused row), or one set while the item is in no
// window, is handed on at once.
class TextAtNextFrame : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QString current READ current NOTIFY currentChanged)

public:
    using QQuickItem::QQuickItem;

    QString text() const { return m_text; }
    void setText(const QString& text);
    QString current() const { return m_current; }

Q_SIGNALS:
    void textChanged();
    void currentChanged();

protected:
    void componentComplete() override;
    void updatePolish() override;
    void itemChange(ItemChange change, const ItemChangeData& data) override;

private:
    void handOn();

    QString m_text;
    QString m_current;
};
