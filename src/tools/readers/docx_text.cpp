#include "tools/readers/docx_text.h"

namespace {

void endLineOnce(QString& text) {
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) {
        text += QLatin1Char('\n');
    }
}

} // namespace

PartReading<QString> docxDocumentText(const QByteArray& documentXml) {
    QXmlStreamReader reader(documentXml);
    QString text;
    QString run;
    bool inText = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (isWordElement(reader, u"t")) {
                run.clear();
                inText = true;
            } else if (isWordElement(reader, u"p")) {
                endLineOnce(text);
            }
            break;
        case QXmlStreamReader::EndElement:
            if (isWordElement(reader, u"t")) {
                text += run;
                inText = false;
            } else if (isWordElement(reader, u"p")) {
                endLineOnce(text);
            }
            break;
        case QXmlStreamReader::Characters:
            if (inText) {
                run += reader.text();
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        return {{}, malformedPartDescription(u"word/document.xml", reader)};
    }
    return {text.trimmed(), {}};
}
