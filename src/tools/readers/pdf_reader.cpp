#include "tools/readers/pdf_reader.h"

#include "text/user_characters.h"
#include "tools/path_expansion.h"
#include "tools/readers/file_kind.h"
#include "tools/readers/reader_texts.h"

#include <QFile>

#include <poppler-document.h>
#include <poppler-page.h>

#include <memory>
#include <mutex>
#include <optional>

namespace {

constexpr int pageLimit = 100;
constexpr qsizetype textLimit = 100000;

// Poppler reports damaged files on stderr; the outcome already says what matters.
void silencePoppler() {
    static std::once_flag once;
    std::call_once(
        once, [] { poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr); });
}

// Poppler ends every page's text with line breaks and a form feed; they
// separate pages rather than belong to them and are left out. Poppler answers
// with a text for every page it can create, so "no text" means: the page
// cannot be created, or nothing is left once those are removed (a scanned
// page). A page whose text is only spaces still counts as text.
std::optional<QString> pageText(const poppler::document& document, int index) {
    const std::unique_ptr<poppler::page> page(document.create_page(index));
    if (!page) {
        return std::nullopt;
    }
    // Reading order, as pdftotext gives it without -layout.
    const poppler::ustring text =
        page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout);
    QString result(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
    while (result.endsWith(QLatin1Char('\f')) || result.endsWith(QLatin1Char('\n'))) {
        result.chop(1);
    }
    if (result.isEmpty()) {
        return std::nullopt;
    }
    return result;
}

// The first `limit` user-perceived characters when the text has more than that
// (and so more than `limit` bytes of UTF-8); null otherwise.
QString cutText(const QString& text, qsizetype limit) {
    QString head = firstCharacters(text, limit);
    return head.size() < text.size() ? head : QString();
}

} // namespace

ToolOutcome readPdf(const QString& path) {
    const QString expanded = expandTilde(path);
    if (fileKind(expanded) != FileKind::regular) {
        return {{}, false, ReaderTexts::cannotOpenPdf(path)};
    }
    silencePoppler();
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_file(QFile::encodeName(expanded).toStdString()));
    // A document that needs a password is as unreadable as a missing one.
    if (!document || document->is_locked()) {
        return {{}, false, ReaderTexts::cannotOpenPdf(path)};
    }
    const int pages = document->pages();
    QString text;
    // Once the text holds the characters that will be shown, later pages
    // cannot change the answer: they are not read, and the text stays bounded.
    QString shown;
    for (int index = 0; index < std::min(pages, pageLimit) && shown.isNull(); ++index) {
        if (const std::optional<QString> page = pageText(*document, index)) {
            text += ReaderTexts::pdfPageHeader(index + 1) + *page + QStringLiteral("\n\n");
            shown = cutText(text, textLimit);
        }
    }
    if (text.isEmpty()) {
        return {{}, true, ReaderTexts::pdfWithoutText(pages)};
    }
    // Cheap upper bound first: UTF-8 never takes more than three bytes per UTF-16 unit.
    if (text.size() * 3 > textLimit && text.toUtf8().size() > textLimit) {
        text = (shown.isNull() ? text : shown) + ReaderTexts::pdfTruncated(pages);
    }
    return {{}, true, ReaderTexts::pdfHeader(pages) + text};
}
