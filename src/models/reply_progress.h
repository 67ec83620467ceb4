#pragma once

#include <QString>

#include <functional>

// Where a reply shows while it is written. With a text sink the client asks for
// the streamed form of the same request; the reply it answers is still the
// whole one, read by the same rules as an answer that came in one piece.
struct ReplyProgress {
    std::function<void(const QString& piece)> text; // a piece of the reply's text
    std::function<void()> reasoning; // the model reasons (what it reasons is not shown)

    bool wanted() const { return bool(text); }
};
