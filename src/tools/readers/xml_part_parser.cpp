#include "tools/readers/xml_part_parser.h"

#include "tools/readers/reader_texts.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <cstring>
#include <limits>
#include <mutex>

namespace {

struct ParseState {
    XmlPartHandler& handler;
    xmlParserCtxtPtr context = nullptr;
    QStringView partName;
    QString error;
};

ParseState& stateOf(void* userData) {
    return *static_cast<ParseState*>(userData);
}

void stopOnHandlerFailure(ParseState& state) {
    if (!state.handler.failure().isEmpty() && state.error.isEmpty()) {
        state.error = state.handler.failure();
        xmlStopParser(state.context);
    }
}

void onStart(void* userData, const xmlChar* localName, const xmlChar*, const xmlChar* uri, int,
             const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    ParseState& state = stateOf(userData);
    state.handler.startElement({reinterpret_cast<const char*>(localName),
                                reinterpret_cast<const char*>(uri), attributeCount, attributes});
    stopOnHandlerFailure(state);
}

void onEnd(void* userData, const xmlChar* localName, const xmlChar*, const xmlChar* uri) {
    ParseState& state = stateOf(userData);
    state.handler.endElement(
        {reinterpret_cast<const char*>(localName), reinterpret_cast<const char*>(uri), 0, nullptr});
    stopOnHandlerFailure(state);
}

void onCharacters(void* userData, const xmlChar* text, int length) {
    ParseState& state = stateOf(userData);
    state.handler.characters(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
    stopOnHandlerFailure(state);
}

void onDoctype(void* userData, const xmlChar*, const xmlChar*, const xmlChar*) {
    ParseState& state = stateOf(userData);
    if (state.error.isEmpty()) {
        state.error = ReaderTexts::partDeclaresDtd(state.partName);
        xmlStopParser(state.context);
    }
}

// Only the first error counts; warnings (such as a relative namespace URI)
// do not stop a part that is otherwise sound.
void onError(void* userData, xmlErrorPtr error) {
    ParseState& state = stateOf(userData);
    if (error == nullptr || error->level < XML_ERR_ERROR || !state.error.isEmpty()) {
        return;
    }
    QString reason = QString::fromUtf8(error->message != nullptr ? error->message : "").trimmed();
    // libxml2's own words here name a parser option the user cannot set.
    if (reason.startsWith(QLatin1String("Excessive depth in document"))) {
        state.error = ReaderTexts::partNestedTooDeeply(state.partName);
        xmlStopParser(state.context);
        return;
    }
    // libxml2 appends the offending bytes on a second line.
    reason = reason.left(reason.indexOf(QLatin1Char('\n')));
    state.error = ReaderTexts::partNotWellFormed(state.partName, reason, error->line, error->int2);
    xmlStopParser(state.context);
}

xmlSAXHandler saxHandler() {
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = onStart;
    sax.endElementNs = onEnd;
    sax.characters = onCharacters;
    sax.cdataBlock = onCharacters;
    sax.ignorableWhitespace = onCharacters;
    sax.internalSubset = onDoctype;
    sax.serror = onError;
    return sax;
}

} // namespace

std::string_view XmlElement::attribute(std::string_view name) const {
    for (int i = 0; i < attributeCount; ++i) {
        const unsigned char* const* entry = attributes + 5 * i;
        if (entry[1] == nullptr && name == reinterpret_cast<const char*>(entry[0])) {
            return {reinterpret_cast<const char*>(entry[3]),
                    static_cast<size_t>(entry[4] - entry[3])};
        }
    }
    return {};
}

QString parseXmlPart(QByteArrayView xml, QStringView partName, XmlPartHandler& handler) {
    // Once per process, before threads parse side by side.
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });

    if (xml.isEmpty()) {
        return ReaderTexts::partEmpty(partName);
    }
    if (xml.size() > std::numeric_limits<int>::max()) {
        return ReaderTexts::partTooLarge(partName);
    }
    xmlParserCtxtPtr context = xmlCreateMemoryParserCtxt(xml.data(), static_cast<int>(xml.size()));
    if (context == nullptr) {
        return ReaderTexts::partOutOfMemory(partName);
    }
    xmlCtxtUseOptions(context, XML_PARSE_NONET);
    xmlSAXHandler sax = saxHandler();
    xmlSAXHandlerPtr ownSax = context->sax;
    context->sax = &sax;
    ParseState state{handler, context, partName, {}};
    context->userData = &state;
    xmlParseDocument(context);
    if (state.error.isEmpty() && !context->wellFormed) {
        state.error = ReaderTexts::partNotWellFormed(partName);
    }
    context->sax = ownSax;
    xmlFreeParserCtxt(context);
    return state.error;
}
