#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>

class ToolStop;

// How long read_pdf and read_image may take for one call.
inline constexpr std::chrono::seconds readerTimeLimit{60};

// What a reading done in a child process sent back, and how it ended.
struct ChildReading {
    enum class Ending { finished, timedOut, stopped, failed };
    QList<QByteArray> messages; // in the order sent, complete ones only
    Ending ending = Ending::failed;
};

using ReaderMessageSink = std::function<void(QByteArrayView)>;

// Runs work in a child process forked from the calling thread, so that a
// library call that cannot be interrupted (Poppler on one page for minutes)
// can still be ended: at the time limit or on the user's Stop the child is
// killed, and what it sent until then is kept. A crash in the library ends
// the child, never the application. work must only compute and send; the child
// ends with _exit, so nothing of the application runs down in it.
ChildReading readInChild(const std::function<void(const ReaderMessageSink&)>& work,
                         std::chrono::milliseconds timeLimit, const ToolStop* stop);

// Runs `program` (no arguments) the same way, but started afresh by exec, so
// that it can use libraries that are not safe after a fork of this
// multi-threaded process (Tesseract, the image decoders): its standard input
// is `input` (none: /dev/null), its standard output the messages it sends
// (with sendReaderMessage), its standard error /dev/null.
ChildReading readFromProgram(const QByteArray& program, int input,
                             std::chrono::milliseconds timeLimit, const ToolStop* stop);

// Sends one message to the reader at `descriptor`; false when it is gone.
bool sendReaderMessage(int descriptor, QByteArrayView message);

// "Error: Reading <path> took longer than N seconds" (or was stopped by the user).
QString readingEndedEarly(const QString& path, ChildReading::Ending ending,
                          std::chrono::milliseconds timeLimit);
