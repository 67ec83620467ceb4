#include "reply_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QQuickTextDocument>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

void ReplyText::copy(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString ReplyText::selectionMarkdown(QQuickTextDocument* document, int start, int end,
                                     const QString& blockPrefix) {
    if (!document || !document->textDocument() || start == end) {
        return {};
    }
    QTextDocument* text = document->textDocument();
    QTextCursor cursor(text);
    cursor.setPosition(std::clamp(std::min(start, end), 0, text->characterCount() - 1));
    cursor.setPosition(std::clamp(std::max(start, end), 0, text->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    const bool whole =
        cursor.selectionStart() == 0 && cursor.selectionEnd() >= text->characterCount() - 1;
    QString markdown =
        QTextDocumentFragment(cursor).toMarkdown(QTextDocument::MarkdownDialectGitHub).trimmed();
    return whole ? blockPrefix + markdown : markdown;
}

bool ReplyText::opensWithoutAsking(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https" || scheme == u"mailto") &&
           (scheme == u"mailto" || !url.host().isEmpty());
}
