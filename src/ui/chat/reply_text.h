#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QUrl>

#include <QQuickTextDocument>

// What the transcript's rows do with a reply's text: put it on the clipboard,
// turn a selection of formatted text back into Markdown, and tell which links
// open without asking.
class ReplyText : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE static void copy(const QString& text);
    // The Markdown of the characters from `start` to `end` of a formatted
    // block: emphasis, code and links written as Markdown again. A whole
    // heading or list item also gets its "## " or "- ".
    Q_INVOKABLE static QString selectionMarkdown(QQuickTextDocument* document, int start, int end,
                                                 const QString& blockPrefix);
    // Web and mail links open at once; a file or any other kind of address
    // could start a program or show a local file, so the user is asked first.
    Q_INVOKABLE static bool opensWithoutAsking(const QUrl& url);
};
