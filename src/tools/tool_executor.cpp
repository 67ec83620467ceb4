#include "tools/tool_executor.h"

#include "tools/tool_texts.h"

#include "tools/files/file_tools.h"
#include "tools/files/run_command.h"
#include "tools/files/search_files.h"
#include "tools/readers/docx_reader.h"
#include "tools/readers/image_reader.h"
#include "tools/readers/pdf_reader.h"
#include "tools/readers/xlsx_reader.h"
#include "tools/writers/pdf_slides_writer.h"
#include "tools/writers/pptx_writer.h"
#include "tools/writers/xlsx_writer.h"

#include <array>
#include <exception>
#include <new>

namespace {

// A missing key takes the tool's default; present values pass unchanged.
QString argument(const ToolArguments& args, const char* key, const char* fallback = "") {
    const auto it = args.constFind(QString::fromLatin1(key));
    return it == args.constEnd() ? QString::fromLatin1(fallback) : *it;
}

struct ToolEntry {
    const char* name;
    ToolOutcome (*run)(const ToolArguments&, const ToolStop*);
};

// In catalogue order.
const std::array<ToolEntry, 12> tools{{
    {"read_file",
     [](const ToolArguments& a, const ToolStop*) { return readFile(argument(a, "path")); }},
    {"write_file",
     [](const ToolArguments& a, const ToolStop*) {
         return writeFile(argument(a, "path"), argument(a, "content"));
     }},
    {"list_directory", [](const ToolArguments& a,
                          const ToolStop*) { return listDirectory(argument(a, "path", ".")); }},
    {"search_files",
     [](const ToolArguments& a, const ToolStop*) {
         return searchFiles(argument(a, "directory", "."), argument(a, "pattern"));
     }},
    {"run_command",
     [](const ToolArguments& a, const ToolStop* stop) {
         return runCommand(argument(a, "command"),
                           std::chrono::seconds(FileToolLimits::commandTimeoutSeconds), stop);
     }},
    {"read_pdf", [](const ToolArguments& a,
                    const ToolStop* stop) { return readPdf(argument(a, "path"), stop); }},
    {"read_image", [](const ToolArguments& a,
                      const ToolStop* stop) { return readImage(argument(a, "path"), stop); }},
    {"read_docx",
     [](const ToolArguments& a, const ToolStop*) { return readDocx(argument(a, "path")); }},
    {"read_xlsx",
     [](const ToolArguments& a, const ToolStop*) { return readXlsx(argument(a, "path")); }},
    {"create_pdf_slides",
     [](const ToolArguments& a, const ToolStop*) {
         return createPdfSlides(argument(a, "path"), argument(a, "slides", "[]"));
     }},
    {"create_pptx",
     [](const ToolArguments& a, const ToolStop*) {
         return createPptx(argument(a, "path"), argument(a, "slides", "[]"));
     }},
    {"create_xlsx",
     [](const ToolArguments& a, const ToolStop*) {
         return createXlsx(argument(a, "path"), argument(a, "data", "[]"));
     }},
}};

// Tools run inside the app: an input that exhausts memory, or any other
// exception a tool lets through, must end that tool, never the window.
ToolOutcome runGuarded(const ToolEntry& entry, const ToolArguments& args, const ToolStop* stop) {
    try {
        return entry.run(args, stop);
    } catch (const std::bad_alloc&) {
        return {
            {}, false, ToolTexts::error(QStringLiteral("Not enough memory to process this input"))};
    } catch (const std::exception& exception) {
        return {{}, false, ToolTexts::error(QString::fromLocal8Bit(exception.what()))};
    }
}

} // namespace

ToolExecutor::ToolExecutor(QObject* parent) : QObject(parent) {}

ToolOutcome ToolExecutor::dispatch(const QString& name, const ToolArguments& args,
                                   const ToolStop* stop) {
    for (const ToolEntry& entry : tools) {
        if (name == QLatin1String(entry.name)) {
            ToolOutcome outcome = runGuarded(entry, args, stop);
            outcome.tool = QString::fromLatin1(entry.name);
            return outcome;
        }
    }
    return {name, false, QStringLiteral("Unknown tool: ") + name};
}
