#include "window_placement.h"

#include <QEvent>
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

void fit(QWindow* window, QSize wanted) {
    QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QMargins frame = window->frameMargins();
    window->setMinimumSize(fittedMinimum(window->minimumSize(), available, frame));
    window->setGeometry(fittedGeometry(wanted, available, frame));
}

// Fits the window again when it is first on screen, framed by then.
class FitOnFirstExpose : public QObject {
public:
    FitOnFirstExpose(QWindow* window, QSize wanted) : QObject(window), m_wanted(wanted) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window != nullptr && window->isExposed()) {
            window->removeEventFilter(this);
            if (overflows(*window)) {
                fit(window, m_wanted);
            }
            deleteLater();
        }
        return false;
    }

private:
    QSize m_wanted;
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

void placeOnScreen(QWindow* window) {
    const QSize wanted = window->size();
    fit(window, wanted);
    // The frame is known only once the window manager has framed the window.
    new FitOnFirstExpose(window, wanted);
}

} // namespace WindowPlacement
