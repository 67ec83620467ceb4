#include "tools/files/text_decoding.h"

#include "tools/files/utf8_text.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

// Windows-1252 at 0x80-0x9F; the five bytes it leaves undefined keep their Latin-1 value.
constexpr std::array<char16_t, 32> windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isTextControl(char16_t unit) {
    return unit == u'\t' || unit == u'\n' || unit == u'\v' || unit == u'\f' || unit == u'\r' ||
           unit == 0x1B;
}

bool looksLikeText(const QString& text) {
    return std::none_of(text.begin(), text.end(),
                        [](QChar c) { return c.unicode() < 0x20 && !isTextControl(c.unicode()); });
}

std::optional<DecodedText> utf16(QByteArrayView bytes, QStringConverter::Encoding encoding,
                                 const char* name) {
    // A cut may split the last code unit; that half is dropped.
    const QByteArrayView units = bytes.sliced(2).first((bytes.size() - 2) & ~qsizetype(1));
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(units);
    if (!looksLikeText(text)) {
        return std::nullopt;
    }
    return DecodedText{text, QString::fromLatin1(name)};
}

std::optional<DecodedText> windows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? windows1252High[byte - 0x80] : byte);
    }
    if (!looksLikeText(text)) {
        return std::nullopt;
    }
    return DecodedText{text, QStringLiteral("Windows-1252")};
}

} // namespace

std::optional<DecodedText> decodeFileText(QByteArrayView bytes, bool cutShort) {
    if (std::optional<QString> text = decodeUtf8Strictly(bytes)) {
        return DecodedText{*text, QString()};
    }
    if (bytes.startsWith("\xFF\xFE")) {
        return utf16(bytes, QStringConverter::Utf16LE, "UTF-16LE");
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return utf16(bytes, QStringConverter::Utf16BE, "UTF-16BE");
    }
    // UTF-8 that only the cut spoiled stays UTF-8 (shown as not displayable).
    const qsizetype complete = completeUtf8Length(bytes);
    if (cutShort && complete < bytes.size() && decodeUtf8Strictly(bytes.first(complete))) {
        return std::nullopt;
    }
    return windows1252(bytes);
}
