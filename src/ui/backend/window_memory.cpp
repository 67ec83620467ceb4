#include "window_memory.h"

#include "app_context.h"
#include "window_placement.h"

#include "core/user_defaults.h"

#include <QJSEngine>
#include <QRect>
#include <QWindow>

WindowMemory::WindowMemory(std::shared_ptr<UserDefaults> defaults, QObject* parent)
    : QObject(parent), m_defaults(std::move(defaults)) {
    if (m_defaults && m_defaults->contains(sidebarKey)) {
        bool read = false;
        const int width = m_defaults->value(sidebarKey).toInt(&read);
        if (read && width > 0) {
            m_sidebarWidth = width;
        }
    }
}

WindowMemory* WindowMemory::create(QQmlEngine*, QJSEngine*) {
    WindowMemory* memory = AppContext::windowMemory();
    QJSEngine::setObjectOwnership(memory, QJSEngine::CppOwnership);
    return memory;
}

void WindowMemory::setSidebarWidth(int width) {
    if (width == m_sidebarWidth || width <= 0) {
        return;
    }
    m_sidebarWidth = width;
    Q_EMIT sidebarWidthChanged();
}

void WindowMemory::place(QWindow* window) {
    const QRect saved = m_defaults ? m_defaults->value(geometryKey).toRect() : QRect();
    WindowPlacement::placeOnScreen(window, saved.isValid() ? std::optional(saved) : std::nullopt);
    connect(window, &QWindow::visibleChanged, this, [this, window](bool visible) {
        if (!visible) {
            keep(*window);
        }
    });
}

void WindowMemory::keep(const QWindow& window) {
    if (!m_defaults) {
        return;
    }
    // A failed write loses only the place: the next launch opens centred.
    if (m_defaults->value(geometryKey).toRect() != window.geometry()) {
        m_defaults->setValue(geometryKey, window.geometry());
    }
    if (m_defaults->value(sidebarKey).toInt() != m_sidebarWidth) {
        m_defaults->setValue(sidebarKey, m_sidebarWidth);
    }
}
