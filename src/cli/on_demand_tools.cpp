// read_pdf, read_image and create_pdf_slides for emberglass-tool: the same
// functions the app links, run from their modules, loaded when first called.

#include "cli/modules/tool_module_entries.h"
#include "cli/tool_modules.h"
#include "tools/readers/image_reader.h"
#include "tools/readers/pdf_reader.h"
#include "tools/tool_texts.h"
#include "tools/writers/pdf_slides_writer.h"

namespace {

// Runs the module's entry with the arguments, or reports why it cannot run.
template <typename Entry, typename... Arguments>
ToolOutcome runInModule(const char* module, const char* symbol, const Arguments&... arguments) {
    QString error;
    ToolOutcome outcome;
    if (const auto entry = toolModuleEntry<Entry>(module, symbol, &error)) {
        entry(arguments..., outcome);
    } else {
        outcome = {{}, false, ToolTexts::error(error)};
    }
    return outcome;
}

} // namespace

// emberglass-tool runs one call and ends with it, so there is no Stop to pass
// on; the time limit applies inside the module.
ToolOutcome readPdf(const QString& path, const ToolStop*, std::chrono::milliseconds) {
    return runInModule<decltype(&emberglassReadPdf)>(ToolModules::pdfReader, "emberglassReadPdf",
                                                     path);
}

ToolOutcome readImage(const QString& path, const ToolStop*, std::chrono::milliseconds) {
    return runInModule<decltype(&emberglassReadImage)>(ToolModules::imageReader,
                                                       "emberglassReadImage", path);
}

ToolOutcome createPdfSlides(const QString& path, const QString& slides) {
    return runInModule<decltype(&emberglassCreatePdfSlides)>(
        ToolModules::pdfSlides, "emberglassCreatePdfSlides", path, slides);
}
