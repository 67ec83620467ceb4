#include "tools/printed_name.h"

#include "tools/path_expansion.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

// The length of the valid UTF-8 sequence at the start of bytes and its code
// point, or 0 when it is not one (overlong, surrogate, beyond U+10FFFF, cut short).
qsizetype utf8Sequence(QByteArrayView bytes, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    qsizetype length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (qsizetype i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < minimum || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

void appendEscaped(QString& text, unsigned char byte) {
    text += QLatin1String("\\x");
    text += QLatin1Char(hexDigits[byte >> 4]);
    text += QLatin1Char(hexDigits[byte & 0x0F]);
}

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

bool exists(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

} // namespace

bool isControlCharacter(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

QString printableName(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        char32_t codePoint = 0;
        const qsizetype length = utf8Sequence(bytes, codePoint);
        if (length == 0 || isControlCharacter(codePoint)) {
            for (qsizetype i = 0; i < std::max<qsizetype>(length, 1); ++i) {
                appendEscaped(text, static_cast<unsigned char>(bytes[i]));
            }
        } else if (codePoint == U'\\') {
            text += QLatin1String("\\\\");
        } else {
            text += QString::fromUtf8(bytes.first(length));
        }
        bytes = bytes.sliced(std::max<qsizetype>(length, 1));
    }
    return text;
}

QByteArray unescapedName(QByteArrayView printed) {
    QByteArray bytes;
    bytes.reserve(printed.size());
    for (qsizetype i = 0; i < printed.size(); ++i) {
        if (printed[i] == '\\' && i + 1 < printed.size() && printed[i + 1] == '\\') {
            bytes += '\\';
            ++i;
        } else if (printed[i] == '\\' && i + 3 < printed.size() && printed[i + 1] == 'x' &&
                   hexValue(printed[i + 2]) >= 0 && hexValue(printed[i + 3]) >= 0) {
            bytes += char(hexValue(printed[i + 2]) * 16 + hexValue(printed[i + 3]));
            i += 3;
        } else {
            bytes += printed[i];
        }
    }
    return bytes;
}

std::optional<QByteArray> argumentPath(const QString& argument) {
    if (argument.contains(QChar(0))) {
        return std::nullopt;
    }
    const QByteArray written = QFile::encodeName(expandTilde(argument));
    if (!written.contains('\\')) {
        return written;
    }
    const QByteArray meant = unescapedName(written);
    return exists(meant) || !exists(written) ? meant : written;
}

OpenableName::OpenableName(const QString& argument) {
    const std::optional<QByteArray> local = argumentPath(argument);
    // O_PATH opens without reading: no permission needed, no FIFO waits.
    m_descriptor = local ? ::open(local->constData(), O_PATH | O_CLOEXEC) : -1;
    m_path = m_descriptor >= 0 ? QStringLiteral("/proc/self/fd/%1").arg(m_descriptor)
                               : expandTilde(argument);
}

OpenableName::~OpenableName() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}
