// The XML readers Debian offers, on the read_xlsx benchmark's two parts (3.5 MB
// of sheet, 1.8 MB of shared strings): each only tokenises, counting elements
// and text bytes, so the figures compare the readers and nothing else. This is
// how read_xlsx's reader was chosen. pugixml is fastest but not a conforming
// reader (no namespaces, unknown entities left in the text, some malformed XML
// accepted); of the rest, libxml2's SAX2 interface and expat lead.

#include "spreadsheet_workload.h"

#include <QXmlStreamReader>

#include <benchmark/benchmark.h>
#include <expat.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlreader.h>
#include <pugixml.hpp>

#include <cstring>

namespace {

struct Parts {
    QByteArray sheet;
    QByteArray sharedStrings;
};

const Parts& parts() {
    static const Parts parts = [] {
        const SpreadsheetWorkload workload = hundredThousandCells();
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
        const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
        return Parts{head + "<worksheet " + ns + "><sheetData>" + workload.sheetData +
                         "</sheetData></worksheet>",
                     head + "<sst " + ns + ">" + workload.sharedItems + "</sst>"};
    }();
    return parts;
}

struct Tally {
    qint64 elements = 0;
    qint64 textBytes = 0;
};

template <typename Tokenise> void run(benchmark::State& state, Tokenise tokenise) {
    const Parts& input = parts();
    for (auto _ : state) {
        Tally tally;
        if (!tokenise(input.sheet, tally) || !tokenise(input.sharedStrings, tally)) {
            state.SkipWithError("not well-formed");
            return;
        }
        benchmark::DoNotOptimize(tally);
    }
    state.SetBytesProcessed(state.iterations() * (input.sheet.size() + input.sharedStrings.size()));
}

void BM_QXmlStreamReader(benchmark::State& state) {
    run(state, [](const QByteArray& xml, Tally& tally) {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            const auto token = reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                benchmark::DoNotOptimize(reader.namespaceUri());
                ++tally.elements;
            } else if (token == QXmlStreamReader::Characters) {
                tally.textBytes += reader.text().size();
            }
        }
        return !reader.hasError();
    });
}

void BM_Libxml2Sax2(benchmark::State& state) {
    run(state, [](const QByteArray& xml, Tally& tally) {
        xmlSAXHandler sax;
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC;
        sax.startElementNs = [](void* user, const xmlChar*, const xmlChar*, const xmlChar*, int,
                                const xmlChar**, int, int,
                                const xmlChar**) { ++static_cast<Tally*>(user)->elements; };
        sax.characters = [](void* user, const xmlChar*, int length) {
            static_cast<Tally*>(user)->textBytes += length;
        };
        return xmlSAXUserParseMemory(&sax, &tally, xml.constData(), int(xml.size())) == 0;
    });
}

void BM_Libxml2TextReader(benchmark::State& state) {
    run(state, [](const QByteArray& xml, Tally& tally) {
        xmlTextReaderPtr reader =
            xmlReaderForMemory(xml.constData(), int(xml.size()), nullptr, nullptr, 0);
        int status = 0;
        while ((status = xmlTextReaderRead(reader)) == 1) {
            const int type = xmlTextReaderNodeType(reader);
            if (type == XML_READER_TYPE_ELEMENT) {
                benchmark::DoNotOptimize(xmlTextReaderConstNamespaceUri(reader));
                ++tally.elements;
            } else if (type == XML_READER_TYPE_TEXT) {
                tally.textBytes += qsizetype(
                    std::strlen(reinterpret_cast<const char*>(xmlTextReaderConstValue(reader))));
            }
        }
        xmlFreeTextReader(reader);
        return status == 0;
    });
}

void BM_Expat(benchmark::State& state) {
    run(state, [](const QByteArray& xml, Tally& tally) {
        XML_Parser parser = XML_ParserCreateNS(nullptr, '\x01');
        XML_SetUserData(parser, &tally);
        XML_SetElementHandler(
            parser,
            [](void* user, const XML_Char*, const XML_Char**) {
                ++static_cast<Tally*>(user)->elements;
            },
            nullptr);
        XML_SetCharacterDataHandler(parser, [](void* user, const XML_Char*, int length) {
            static_cast<Tally*>(user)->textBytes += length;
        });
        const bool ok = XML_Parse(parser, xml.constData(), int(xml.size()), 1) == XML_STATUS_OK;
        XML_ParserFree(parser);
        return ok;
    });
}

void countNodes(const pugi::xml_node& node, Tally& tally) {
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_element) {
            ++tally.elements;
            countNodes(child, tally);
        } else if (child.type() == pugi::node_pcdata) {
            tally.textBytes += qsizetype(std::strlen(child.value()));
        }
    }
}

void BM_Pugixml(benchmark::State& state) {
    run(state, [](const QByteArray& xml, Tally& tally) {
        QByteArray buffer = xml; // parsed in place
        pugi::xml_document document;
        if (!document.load_buffer_inplace(buffer.data(), size_t(buffer.size()))) {
            return false;
        }
        countNodes(document, tally);
        return true;
    });
}

} // namespace

BENCHMARK(BM_QXmlStreamReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2Sax2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2TextReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Expat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
