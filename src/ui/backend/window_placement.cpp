#include "window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace WindowPlacement {

namespace {

QSize room(QRect available, QMargins frame) {
    return available.size().shrunkBy(frame).expandedTo(QSize(1, 1));
}

bool overflows(const QWindow& window) {
    return window.screen() != nullptr &&
           !window.screen()->availableGeometry().contains(window.frameGeometry());
}

// The screens' available areas, the primary's first.
QList<QRect> availableAreas() {
    QList<QRect> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        areas.append(primary->availableGeometry());
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            areas.append(screen->availableGeometry());
        }
    }
    return areas;
}

void fit(QWindow* window, QSize wanted, const std::optional<QRect>& saved) {
    QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QMargins frame = window->frameMargins();
    const QRect geometry = saved ? restoredGeometry(*saved, availableAreas(), frame)
                                 : fittedGeometry(wanted, screen->availableGeometry(), frame);
    QScreen* target = QGuiApplication::screenAt(geometry.center());
    const QRect available = (target != nullptr ? target : screen)->availableGeometry();
    window->setMinimumSize(fittedMinimum(window->minimumSize(), available, frame));
    window->setGeometry(geometry);
}

// Fits the window again when it is first on screen, framed by then.
class FitOnFirstExpose : public QObject {
public:
    FitOnFirstExpose(QWindow* window, QSize wanted, std::optional<QRect> saved)
        : QObject(window), m_wanted(wanted), m_saved(saved) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window != nullptr && window->isExposed()) {
            window->removeEventFilter(this);
            if (overflows(*window)) {
                fit(window, m_wanted, m_saved);
            }
            deleteLater();
        }
        return false;
    }

private:
    QSize m_wanted;
    std::optional<QRect> m_saved;
};

} // namespace

QRect fittedGeometry(QSize wanted, QRect available, QMargins frame) {
    const QSize size = wanted.boundedTo(room(available, frame));
    QRect outer(QPoint(), size.grownBy(frame));
    outer.moveCenter(available.center());
    // Centring never pushes the frame's top-left corner off the area.
    outer.moveTopLeft(
        QPoint(std::max(outer.left(), available.left()), std::max(outer.top(), available.top())));
    return outer.marginsRemoved(frame);
}

QSize fittedMinimum(QSize minimum, QRect available, QMargins frame) {
    return minimum.boundedTo(room(available, frame));
}

QRect restoredGeometry(QRect saved, const QList<QRect>& areas, QMargins frame) {
    if (areas.isEmpty()) {
        return saved;
    }
    const QRect outer = saved.marginsAdded(frame);
    QRect area = areas.first();
    qint64 covered = 0;
    for (const QRect& candidate : areas) {
        const QRect common = candidate.intersected(outer);
        const qint64 size = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (size > covered) {
            covered = size;
            area = candidate;
        }
    }
    QRect placed(QPoint(), saved.size().boundedTo(room(area, frame)).grownBy(frame));
    if (covered == 0) {
        placed.moveCenter(area.center());
    } else {
        placed.moveTopLeft(outer.topLeft());
    }
    // Whole on the area; where it cannot be, its title bar stays reachable.
    placed.moveLeft(
        std::max(std::min(placed.left(), area.right() + 1 - placed.width()), area.left()));
    placed.moveTop(
        std::max(std::min(placed.top(), area.bottom() + 1 - placed.height()), area.top()));
    return placed.marginsRemoved(frame);
}

void placeOnScreen(QWindow* window, std::optional<QRect> saved) {
    const QSize wanted = window->size();
    fit(window, wanted, saved);
    // The frame is known only once the window manager has framed the window.
    new FitOnFirstExpose(window, wanted, saved);
}

} // namespace WindowPlacement
