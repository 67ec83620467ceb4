#pragma once

#include "models/model_error.h"

#include <QObject>
#include <QString>

#include <optional>

// A streamed reply: zero or more non-empty pieces, then exactly one of
// finished() or failed(). Signals are never emitted from inside the call that
// created the stream, so a consumer may connect right after receiving it.
// The stream deletes itself (deleteLater) once it has ended, whether or not
// anybody is still listening.
class TextPieceStream : public QObject {
    Q_OBJECT

public:
    explicit TextPieceStream(QObject* parent = nullptr);

    // Producer side.
    void deliver(const QString& piece);
    void finish();
    void fail(const ModelError& error);

    // Why the stream failed, from failed() on (a relay reads the wait a refusal asks for).
    const std::optional<ModelError>& error() const { return m_error; }

Q_SIGNALS:
    void piece(const QString& text);
    void finished();
    void failed(const QString& description);

private:
    bool m_ended = false;
    std::optional<ModelError> m_error;
};
