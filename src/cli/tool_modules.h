#pragma once

#include <QFunctionPointer>
#include <QString>

// The modules emberglass-tool loads on first use (see modules/). They sit
// beside the program in the build tree and in ../lib/emberglass once installed.
namespace ToolModules {
inline constexpr char pdfReader[] = "emberglass-pdf-reader";
inline constexpr char imageReader[] = "emberglass-image-reader";
inline constexpr char pdfSlides[] = "emberglass-pdf-slides";
} // namespace ToolModules

// The exported function `symbol` of `module`, loaded once and kept for the
// life of the process; null, with the reason in *error, when it cannot be.
QFunctionPointer toolModuleFunction(const char* module, const char* symbol, QString* error);

template <typename Function>
Function toolModuleEntry(const char* module, const char* symbol, QString* error) {
    return reinterpret_cast<Function>(toolModuleFunction(module, symbol, error));
}
