#pragma once

#include <QObject>
#include <QPointer>
#include <QQmlEngine>

#include <QQuickItem>

// Extra space between the lines of a TextEdit, which has no property of its
// own for it: `TextLineSpacing { target: body; spacing: 5 }`. It is applied
// again whenever the text is replaced. (The target is any item with a
// `textDocument`, as TextEdit's own type is not public.)
class TextLineSpacing : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQuickItem* target READ target WRITE setTarget NOTIFY targetChanged)
    Q_PROPERTY(qreal spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)

public:
    using QObject::QObject;

    QQuickItem* target() const { return m_target; }
    void setTarget(QQuickItem* target);
    qreal spacing() const { return m_spacing; }
    void setSpacing(qreal spacing);

Q_SIGNALS:
    void targetChanged();
    void spacingChanged();

private Q_SLOTS:
    void apply();

private:
    QPointer<QQuickItem> m_target;
    QMetaObject::Connection m_textChanged;
    qreal m_spacing = 0;
    bool m_applying = false;
};
