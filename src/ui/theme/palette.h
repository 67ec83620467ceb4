#pragma once

#include "palette/palette_colors.h"

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QQmlEngine>

// Every colour of the window, from the one list in palette.json (which the
// phone page and the PDF slides use too): the views read them through the
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

    static QColor background() { return PaletteColors::background(); }
    static QColor surface() { return PaletteColors::surface(); }
    static QColor surfaceAlt() { return PaletteColors::surfaceAlt(); }
    static QColor accent() { return PaletteColors::accent(); }
    static QColor danger() { return PaletteColors::danger(); }
    static QColor warning() { return PaletteColors::warning(); }
    static QColor success() { return PaletteColors::success(); }
    // The memory files' kinds that have no colour of their own above.
    static QColor personal() { return PaletteColors::personal(); }
    static QColor work() { return PaletteColors::work(); }
    static QColor textPrimary() { return PaletteColors::textPrimary(); }
    static QColor textSecondary() { return PaletteColors::textSecondary(); }
    static QColor textTertiary() { return PaletteColors::textTertiary(); }
    // Symbols and labels drawn on a filled shape (accent, primary text, danger).
    static QColor onFill() { return PaletteColors::onFill(); }
    static QColor border() { return PaletteColors::border(); }
    static QColor borderStrong() { return PaletteColors::borderStrong(); }
    // What dims the chat beside an open panel.
    static QColor scrim() { return PaletteColors::scrim(); }

    // Light whatever the desktop's scheme.
    static QPalette application();
};
