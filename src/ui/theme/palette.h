#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QQmlEngine>

// Every colour of the window, in one place: the views read them through the
// Theme singleton, and the application palette (the few control parts Qt draws
// itself: tool tips, menus, scroll bars) is made from them. In QML it is
// `Colors`: QtQuick has a `Palette` type of its own.
class Palette : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Colors)
    QML_SINGLETON
    Q_PROPERTY(QColor background READ background CONSTANT)
    Q_PROPERTY(QColor surface READ surface CONSTANT)
    Q_PROPERTY(QColor surfaceAlt READ surfaceAlt CONSTANT)
    Q_PROPERTY(QColor accent READ accent CONSTANT)
    Q_PROPERTY(QColor danger READ danger CONSTANT)
    Q_PROPERTY(QColor warning READ warning CONSTANT)
    Q_PROPERTY(QColor success READ success CONSTANT)
    Q_PROPERTY(QColor personal READ personal CONSTANT)
    Q_PROPERTY(QColor work READ work CONSTANT)
    Q_PROPERTY(QColor textPrimary READ textPrimary CONSTANT)
    Q_PROPERTY(QColor textSecondary READ textSecondary CONSTANT)
    Q_PROPERTY(QColor textTertiary READ textTertiary CONSTANT)
    Q_PROPERTY(QColor onFill READ onFill CONSTANT)
    Q_PROPERTY(QColor border READ border CONSTANT)
    Q_PROPERTY(QColor borderStrong READ borderStrong CONSTANT)
    Q_PROPERTY(QColor scrim READ scrim CONSTANT)

public:
    using QObject::QObject;

    static QColor background() { return QColor::fromRgbF(0.98f, 0.98f, 0.97f); }
    static QColor surface() { return Qt::white; }
    static QColor surfaceAlt() { return QColor::fromRgbF(0.95f, 0.95f, 0.94f); }
    static QColor accent() { return QColor::fromRgbF(1.0f, 0.42f, 0.17f); }
    static QColor danger() { return QColor::fromRgbF(0.92f, 0.22f, 0.22f); }
    static QColor warning() { return QColor::fromRgbF(0.95f, 0.7f, 0.1f); }
    static QColor success() { return QColor::fromRgbF(0.18f, 0.75f, 0.45f); }
    // The memory files' kinds that have no colour of their own above.
    static QColor personal() { return QColor::fromRgbF(0.55f, 0.4f, 0.9f); }
    static QColor work() { return QColor::fromRgbF(0.2f, 0.6f, 0.9f); }
    static QColor textPrimary() { return QColor::fromRgbF(0.1f, 0.1f, 0.1f); }
    static QColor textSecondary() { return QColor::fromRgbF(0.45f, 0.45f, 0.43f); }
    static QColor textTertiary() { return QColor::fromRgbF(0.65f, 0.65f, 0.63f); }
    // Symbols and labels drawn on a filled shape (accent, primary text, danger).
    static QColor onFill() { return Qt::white; }
    static QColor border() { return QColor::fromRgbF(0, 0, 0, 0.07f); }
    static QColor borderStrong() { return QColor::fromRgbF(0, 0, 0, 0.12f); }
    // What dims the chat beside an open panel.
    static QColor scrim() { return QColor::fromRgbF(0, 0, 0, 0.22f); }

    // Light whatever the desktop's scheme.
    static QPalette application();
};
