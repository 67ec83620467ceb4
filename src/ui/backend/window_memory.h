#pragma once

#include <QObject>
#include <QQmlEngine>

#include <memory>

class QWindow;
class UserDefaults;

// Where the user left the window: its size and position and the sidebar's
// width, kept in the settings file when the window closes and given back at
// the next launch, fitted to the screens there are then. In QML it is the
// singleton `WindowMemory`, for the sidebar's width.
class WindowMemory : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(int sidebarWidth READ sidebarWidth WRITE setSidebarWidth NOTIFY sidebarWidthChanged)

public:
    static constexpr const char* geometryKey = "emberglass_window_geometry";
    static constexpr const char* sidebarKey = "emberglass_sidebar_width";
    static constexpr int defaultSidebarWidth = 250;

    // Without settings (a test's views) nothing is read or kept.
    explicit WindowMemory(std::shared_ptr<UserDefaults> defaults = nullptr,
                          QObject* parent = nullptr);
    static WindowMemory* create(QQmlEngine*, QJSEngine*);

    int sidebarWidth() const { return m_sidebarWidth; }
    void setSidebarWidth(int width);

    // Opens `window` where it was left, else at its default size, centred; and
    // keeps where it is when it closes.
    void place(QWindow* window);

Q_SIGNALS:
    void sidebarWidthChanged();

private:
    void keep(const QWindow& window);

    std::shared_ptr<UserDefaults> m_defaults;
    int m_sidebarWidth = defaultSidebarWidth;
};
