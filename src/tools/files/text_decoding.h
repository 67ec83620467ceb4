#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// The text of a file's bytes, tried in this order: UTF-8; UTF-16 when the bytes
// start with its byte-order mark; Windows-1252 (Latin-1 with the printable
// characters Windows puts at 0x80-0x9F). Bytes that hold NUL or other control
// characters than tab, line breaks, form feed and escape are not text.
struct DecodedText {
    QString text;
    QString encoding; // empty for UTF-8, else the name the result states
};

// cutShort: the bytes are the head of a longer file, so the end may split a
// character; such a split UTF-8 head is not read as another encoding.
std::optional<DecodedText> decodeFileText(QByteArrayView bytes, bool cutShort);
