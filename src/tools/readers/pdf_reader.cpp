#include "tools/readers/pdf_reader.h"

#include "text/user_characters.h"
#include "tools/printed_name.h"
#include "tools/readers/file_kind.h"
#include "tools/readers/reader_texts.h"
#include "tools/tool_texts.h"

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

// The text of the pages read so far, as the tool shows it. Once the text
// holds the characters that will be shown, later pages cannot change the
// answer: they are not read, and the text stays bounded.
class PdfText {
public:
    void addPage(int index, const QString& page) {
        m_text += ReaderTexts::pdfPageHeader(index + 1) + page + QStringLiteral("\n\n");
        QString head = firstCharacters(m_text, textLimit);
        if (head.size() < m_text.size()) {
            m_shown = std::move(head);
        }
    }
    bool isComplete() const { return !m_shown.isNull(); }
    bool isEmpty() const { return m_text.isEmpty(); }

    QString text(int pages) const {
        // Cheap upper bound first: UTF-8 never takes more than three bytes per UTF-16 unit.
        if (m_text.size() * 3 > textLimit && m_text.toUtf8().size() > textLimit) {
            return (m_shown.isNull() ? m_text : m_shown) + ReaderTexts::pdfTruncated(pages);
        }
        return m_text;
    }

private:
    QString m_text;
    QString m_shown;
};

// Messages from the child: the page count first ('n'), or 'x' when the file
// cannot be opened; then one per page read, 'p' with its text in UTF-16, or
// 'e' for a page without text.
void readPages(const QByteArray& file, const ReaderMessageSink& send) {
    silencePoppler();
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_file(file.toStdString()));
    // A document that needs a password is as unreadable as a missing one.
    if (!document || document->is_locked()) {
        send("x");
        return;
    }
    const int pages = document->pages();
    send("n" + QByteArray::number(pages));
    PdfText text;
    for (int index = 0; index < std::min(pages, pageLimit) && !text.isComplete(); ++index) {
        const std::optional<QString> page = pageText(*document, index);
        if (!page) {
            send("e");
            continue;
        }
        send("p" + QByteArrayView(reinterpret_cast<const char*>(page->constData()),
                                  page->size() * qsizetype(sizeof(QChar)))
                       .toByteArray());
        text.addPage(index, *page);
    }
}

QString pageOf(const QByteArray& message) {
    const QByteArray units = message.sliced(1);
    return QString(reinterpret_cast<const QChar*>(units.constData()),
                   units.size() / qsizetype(sizeof(QChar)));
}

} // namespace

ToolOutcome readPdf(const QString& path, const ToolStop* stop,
                    std::chrono::milliseconds timeLimit) {
    // Printed names (escaped bytes) open the file they name.
    const OpenableName name(path);
    if (fileKind(name.path()) != FileKind::regular) {
        return {{}, false, ReaderTexts::cannotOpenPdf(path)};
    }
    const QByteArray file = QFile::encodeName(name.path());
    const ChildReading reading = readInChild(
        [&file](const ReaderMessageSink& send) { readPages(file, send); }, timeLimit, stop);
    // No page count: the file cannot be opened, or Poppler failed on it outright.
    if (reading.messages.isEmpty() || !reading.messages.first().startsWith('n')) {
        if (reading.ending == ChildReading::Ending::timedOut ||
            reading.ending == ChildReading::Ending::stopped) {
            return {{}, false, readingEndedEarly(path, reading.ending, timeLimit)};
        }
        return {{}, false, ReaderTexts::cannotOpenPdf(path)};
    }
    const int pages = reading.messages.first().sliced(1).toInt();
    PdfText text;
    int index = 0;
    for (const QByteArray& message : reading.messages.sliced(1)) {
        if (message.startsWith('p')) {
            text.addPage(index, pageOf(message));
        }
        ++index;
    }
    const QString shown =
        text.isEmpty() ? QString() : ReaderTexts::pdfHeader(pages) + text.text(pages);
    switch (reading.ending) {
    case ChildReading::Ending::timedOut:
    case ChildReading::Ending::stopped:
        return {{},
                false,
                readingEndedEarly(path, reading.ending, timeLimit) +
                    (shown.isEmpty() ? QString() : QStringLiteral("\n\n") + shown)};
    case ChildReading::Ending::failed:
    case ChildReading::Ending::finished:
        break;
    }
    if (text.isEmpty()) {
        return {{}, true, ReaderTexts::pdfWithoutText(pages)};
    }
    return {{}, true, shown};
}
