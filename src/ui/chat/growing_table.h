#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QQuickTextDocument>

class QTextDocument;
class QTextTable;

// The table a table block's text holds, or null for any other text.
QTextTable* tableBlockTable(const QTextDocument* document);

// A table of a reply being streamed grows a row at a time. Setting its whole
// rich text again on every frame has the text view parse, shape and lay out
// every cell anew; changing only the last row shown and adding the new ones
// leaves the other cells' text as it is.
class GrowingTable : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // Makes `document`, which shows the table `shown`, show the table `html`
    // by editing its rows, when `html` keeps all rows of `shown` but the last
    // and adds rows after it. False, and `document` as it was, otherwise.
    Q_INVOKABLE static bool grow(QQuickTextDocument* document, const QString& shown,
                                 const QString& html);
    static bool grow(QTextDocument* document, const QString& shown, const QString& html);
};
