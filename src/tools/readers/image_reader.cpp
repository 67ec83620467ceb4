#include "tools/readers/image_reader.h"

#include "tools/printed_name.h"
#include "tools/readers/file_kind.h"
#include "tools/readers/image_decoding.h"
#include "tools/readers/image_recognition.h"
#include "tools/readers/reader_output.h"
#include "tools/readers/reader_texts.h"
#include "tools/tool_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char helperName[] = "emberglass-ocr";

ToolOutcome outcomeOf(const QString& path, const ImageRecognition& recognition) {
    using Kind = ImageRecognition::Kind;
    switch (recognition.kind) {
    case Kind::tooLarge:
        return {
            {},
            false,
            ReaderTexts::imageTooLarge(path, recognition.size, ImageLimits::maxDecodedMegapixels)};
    case Kind::undecodable:
        return {{}, false, ReaderTexts::cannotReadImage(path)};
    case Kind::failed:
        return {{}, false, ReaderTexts::ocrFailed(recognition.description)};
    case Kind::error:
        return {{}, false, ReaderTexts::ocrError(recognition.description)};
    case Kind::recognised:
        break;
    }
    if (recognition.lines.isEmpty()) {
        return {{}, true, ReaderTexts::noTextInImage()};
    }
    return {{}, true, boundedReaderText(recognition.lines.join(QLatin1Char('\n')))};
}

// Where the recognition helper is: installed in ../lib/emberglass from the
// program, beside the program, or where the build made it; nothing when it is
// in none of these (`looked`: where it was looked for).
std::optional<QString> recognitionHelper(QStringList& looked) {
    // From /proc: the emberglass-tool module has no application object to ask.
    const QString program =
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    const QStringList places{QDir::cleanPath(program + QStringLiteral("/../lib/emberglass/") +
                                             QLatin1String(helperName)),
                             program + QLatin1Char('/') + QLatin1String(helperName),
                             QStringLiteral(EMBERGLASS_OCR_HELPER_BUILT)};
    looked = places;
    for (const QString& place : places) {
        if (QFileInfo(place).isExecutable()) {
            return place;
        }
    }
    return std::nullopt;
}

} // namespace

ToolOutcome readImage(const QString& path, const ToolStop* stop,
                      std::chrono::milliseconds timeLimit) {
    // Printed names (escaped bytes) open the file they name.
    const OpenableName name(path);
    const QString& expanded = name.path();
    switch (fileKind(expanded)) {
    case FileKind::missing:
        return {{}, false, ToolTexts::fileNotFound(path)};
    case FileKind::directory:
    case FileKind::other:
        return {{}, false, ReaderTexts::cannotReadImage(path)};
    case FileKind::regular:
        break;
    }
    QStringList looked;
    const std::optional<QString> helper = recognitionHelper(looked);
    if (!helper) {
        return {{},
                false,
                ReaderTexts::ocrFailed(
                    QStringLiteral("%1 is missing (looked in %2)")
                        .arg(QLatin1String(helperName), looked.join(QStringLiteral(", "))))};
    }
    // The helper reads the file this process opened: no name to spell again.
    const int file = ::open(QFile::encodeName(expanded).constData(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return {{}, false, ReaderTexts::cannotReadImage(path)};
    }
    const ChildReading reading = readFromProgram(QFile::encodeName(*helper), file, timeLimit, stop);
    ::close(file);
    if (reading.ending == ChildReading::Ending::timedOut ||
        reading.ending == ChildReading::Ending::stopped) {
        return {{}, false, readingEndedEarly(path, reading.ending, timeLimit)};
    }
    const std::optional<ImageRecognition> recognition =
        reading.messages.isEmpty() ? std::nullopt
                                   : recognitionFromMessage(reading.messages.first());
    if (reading.ending != ChildReading::Ending::finished || !recognition) {
        // A decoder or Tesseract crashed on this file: the helper, not the app, ended.
        return {{}, false, ReaderTexts::cannotReadImage(path)};
    }
    return outcomeOf(path, *recognition);
}
