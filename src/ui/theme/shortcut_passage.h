#pragma once

#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>

// A read-only TextEdit that holds the focus (text selected in it, so that
// Ctrl+C copies) claims every shortcut for itself: it accepts each shortcut
// override it is offered, whatever the key. `ShortcutPassage { target: text }`
// lets it keep only the keys it acts on, Copy and Select All; every other
// shortcut (Ctrl+N, the panels', Escape) reaches the window's shortcuts.
class ShortcutPassage : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQuickItem* target READ target WRITE setTarget NOTIFY targetChanged)

public:
    using QObject::QObject;

    QQuickItem* target() const { return m_target; }
    void setTarget(QQuickItem* target);

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void targetChanged();

private:
    QPointer<QQuickItem> m_target;
};
