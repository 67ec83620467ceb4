// emberglass-ocr: read_image's decoding and recognition in a process of its
// own, which read_image ends at its time limit or on Stop. The image comes as
// standard input (a file read_image opened); the result goes to standard
// output as one reader message.

#include "tools/readers/image_recognition.h"
#include "tools/readers/reader_child.h"

#include <QCoreApplication>

#include <unistd.h>

int main(int argc, char** argv) {
    // Only the message goes to the reader: whatever a library prints goes
    // where its warnings go.
    const int reader = ::dup(STDOUT_FILENO);
    if (reader < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        return 1;
    }
    // For Qt's image format plugins.
    const QCoreApplication application(argc, argv);
    const ImageRecognition recognition =
        recogniseImageFile(QStringLiteral("/proc/self/fd/%1").arg(STDIN_FILENO));
    return sendReaderMessage(reader, recognitionMessage(recognition)) ? 0 : 1;
}
