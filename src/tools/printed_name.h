#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// File names are bytes on Linux: not always UTF-8, and free to hold a line
// break. Tools print them losslessly, and take the printed form back:
//
//   a byte that is not part of valid UTF-8, and every byte of a control
//   character (U+0000-U+001F, U+007F-U+009F), is written \xHH (two lower-case
//   hex digits); a backslash is written \\; everything else is as it is.
//
// So bad<FF>.txt prints as bad\xff.txt and "new<LF>line" as new\x0aline.
QString printableName(QByteArrayView bytes);

// U+0000-U+001F and U+007F-U+009F: the characters printed names escape.
bool isControlCharacter(char32_t codePoint);

// The bytes a printed name stands for (the escapes above undone; any other
// backslash stays as it is).
QByteArray unescapedName(QByteArrayView printed);

// The local path a tool's path argument names: "~" expanded, and the escapes
// undone when the name so spelled exists (otherwise the argument as written,
// so that a name with a plain backslash in it still works). Nothing when the
// argument holds a NUL character, which no path can.
std::optional<QByteArray> argumentPath(const QString& argument);

// The same as a name every library can open, even one that takes only text
// names: the file is held open (without reading it, so a FIFO never blocks)
// and named by its /proc/self/fd entry while this object lives. When nothing
// can be opened, the expanded argument itself, so that the reader reports the
// missing file as usual.
class OpenableName {
public:
    explicit OpenableName(const QString& argument);
    ~OpenableName();
    OpenableName(const OpenableName&) = delete;
    OpenableName& operator=(const OpenableName&) = delete;

    const QString& path() const { return m_path; }

private:
    int m_descriptor = -1;
    QString m_path;
};
