#pragma once

#include <QObject>

// Handed to a request by its caller; cancel() aborts the outstanding network
// request, and a request started after cancel() fails at once.
class RequestCancellation : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    void cancel();
    bool isCancelled() const { return m_cancelled; }

Q_SIGNALS:
    void cancelled();

private:
    bool m_cancelled = false;
};
