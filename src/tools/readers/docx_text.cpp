#include "tools/readers/docx_text.h"

#include "tools/readers/reader_texts.h"
#include "tools/readers/text_budget.h"

namespace {

class DocumentText final : public XmlPartHandler {
public:
    QByteArray text;

    void startElement(const XmlElement& element) override {
        if (m_word.contains(element, "t")) {
            ++m_openTexts;
        } else if (m_word.contains(element, "p")) {
            endLineOnce();
        }
    }
    void endElement(const XmlElement& element) override {
        if (m_word.contains(element, "t")) {
            m_openTexts = std::max(0, m_openTexts - 1);
        } else if (m_word.contains(element, "p")) {
            endLineOnce();
        }
    }
    void characters(std::string_view characters) override {
        if (m_openTexts == 0) {
            return;
        }
        text.append(characters.data(), static_cast<qsizetype>(characters.size()));
        if (text.size() > readerTextBudget) {
            fail(ReaderTexts::documentTooLarge(readerTextBudgetMiB));
        }
    }

private:
    void endLineOnce() {
        if (!text.isEmpty() && !text.endsWith('\n')) {
            text.append('\n');
        }
    }

    const OoxmlNamespace m_word = OoxmlNamespace::wordprocessing();
    int m_openTexts = 0;
};

} // namespace

PartReading<QString> docxDocumentText(QByteArrayView documentXml) {
    DocumentText document;
    const QString error = parseXmlPart(documentXml, u"word/document.xml", document);
    if (!error.isEmpty()) {
        return {{}, error};
    }
    return {QString::fromUtf8(document.text).trimmed(), {}};
}
