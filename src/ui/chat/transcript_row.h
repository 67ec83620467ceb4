#pragma once

#include "ui/chat/text_at_next_frame.h"

// A transcript row's root: the message text as the model sets it, on every
// streamed piece, kept in C++ (a text kept in a QML property is copied into
// the script engine on every write, and a long reply soon costs more in
// garbage collection than in drawing), and as the row's views read it, grown
// at most once a frame. Any other change is shown at once.
class TranscriptRow : public TextAtNextFrame {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString content READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QString shownContent READ current NOTIFY currentChanged)

public:
    using TextAtNextFrame::TextAtNextFrame;
};
