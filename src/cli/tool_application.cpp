#include "cli/tool_application.h"

#include "cli/modules/tool_module_entries.h"
#include "cli/tool_modules.h"

#include <cstring>

std::unique_ptr<QCoreApplication> createToolApplication(int& argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "create_pdf_slides") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // Without the module the tool itself reports why it cannot run.
        if (const auto create = toolModuleEntry<decltype(&emberglassCreateGuiApplication)>(
                ToolModules::pdfSlides, "emberglassCreateGuiApplication", nullptr)) {
            return std::unique_ptr<QCoreApplication>(create(argc, argv));
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}
