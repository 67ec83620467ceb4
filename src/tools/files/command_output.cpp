#include "tools/files/command_output.h"

#include "text/user_characters.h"
#include "tools/files/file_tool_texts.h"

namespace {

qint64 shownBytes(const Utf8StreamCapture& stream) {
    return stream.isValidUtf8() ? stream.totalBytes() : 0;
}

} // namespace

QString combineCommandOutput(const Utf8StreamCapture& standardOutput,
                             const Utf8StreamCapture& standardError, qsizetype limit) {
    const qint64 outputBytes = shownBytes(standardOutput);
    const qint64 errorBytes = shownBytes(standardError);
    if (outputBytes == 0 && errorBytes == 0) {
        return FileToolTexts::noOutput();
    }
    const QString separator = outputBytes > 0 && errorBytes > 0 ? QStringLiteral("\n") : QString();
    const QString label = errorBytes > 0 ? FileToolTexts::stderrLabel() : QString();
    const qint64 combinedBytes =
        outputBytes + separator.toUtf8().size() + label.toUtf8().size() + errorBytes;

    QString combined = standardOutput.text();
    // A capped output runs on far past the limit; what follows it cannot be shown.
    if (errorBytes > 0 && !(outputBytes > 0 && standardOutput.isCapped())) {
        combined += separator + label + standardError.text();
    }
    if (combinedBytes <= limit) {
        return combined;
    }
    return firstCharacters(combined, limit) + FileToolTexts::outputTruncated();
}
