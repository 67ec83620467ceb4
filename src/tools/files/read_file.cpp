#include "storage/platform_error.h"
#include "tools/files/file_tool_texts.h"
#include "tools/files/file_tools.h"
#include "tools/files/text_decoding.h"
#include "tools/files/unique_descriptor.h"
#include "tools/printed_name.h"
#include "tools/tool_texts.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace {

ToolOutcome readOutcome(bool success, const QString& output) {
    return {QStringLiteral("read_file"), success, output};
}

// Reads up to limit bytes into bytes; false with errno set on a read error.
bool readUpTo(int descriptor, qint64 limit, QByteArray& bytes) {
    bytes.resize(limit);
    qint64 filled = 0;
    while (filled < limit) {
        const ssize_t got = ::read(descriptor, bytes.data() + filled, limit - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    bytes.truncate(filled);
    return true;
}

// Files whose size the system does not know in advance (those of /proc) are counted.
qint64 countRemainingBytes(int descriptor) {
    char buffer[65536];
    qint64 count = 0;
    ssize_t got = 0;
    while ((got = ::read(descriptor, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        count += got > 0 ? got : 0;
    }
    return count;
}

// UTF-8 as it is; any other encoding named before the text.
std::optional<QString> shownText(QByteArrayView bytes, bool cutShort) {
    const std::optional<DecodedText> decoded = decodeFileText(bytes, cutShort);
    if (!decoded) {
        return std::nullopt;
    }
    return decoded->encoding.isEmpty()
               ? decoded->text
               : FileToolTexts::decodedFrom(decoded->encoding) + decoded->text;
}

} // namespace

ToolOutcome readFile(const QString& path) {
    const std::optional<QByteArray> local = argumentPath(path);
    struct stat info {};
    if (!local || ::stat(local->constData(), &info) != 0) {
        return readOutcome(false, ToolTexts::fileNotFound(path));
    }
    if (::access(local->constData(), R_OK) != 0) {
        return readOutcome(false, FileToolTexts::permissionDenied(path));
    }
    // Non-blocking so that opening a named pipe cannot wait for a writer.
    const UniqueDescriptor file(::open(local->constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        return readOutcome(false, ToolTexts::error(platformErrorDescription(errno)));
    }
    if (S_ISDIR(info.st_mode)) {
        return readOutcome(false, ToolTexts::error(platformErrorDescription(EISDIR)));
    }
    if (!S_ISREG(info.st_mode)) {
        return readOutcome(false, ToolTexts::error(ToolTexts::notARegularFile()));
    }
    ::fcntl(file.get(), F_SETFL, 0);

    // Only what can be shown is read: one byte past the limit tells a cut file.
    QByteArray bytes;
    if (!readUpTo(file.get(), FileToolLimits::textLimit + 1, bytes)) {
        return readOutcome(false, ToolTexts::error(platformErrorDescription(errno)));
    }
    if (bytes.size() <= FileToolLimits::textLimit) {
        return readOutcome(true, shownText(bytes, false).value_or(FileToolTexts::binaryFile()));
    }
    const qint64 total = info.st_size >= bytes.size()
                             ? qint64(info.st_size)
                             : bytes.size() + countRemainingBytes(file.get());
    const QByteArrayView shown = QByteArrayView(bytes).first(FileToolLimits::textLimit);
    return readOutcome(true, shownText(shown, true).value_or(FileToolTexts::binaryFilePrefix()) +
                                 FileToolTexts::fileTruncated(total));
}
