#pragma once

#include "tools/readers/zip_reader.h"
#include "tools/tool_types.h"

#include <variant>

// The first steps read_docx and read_xlsx share: the path argument (as the
// model wrote it) must name a regular file, and that file must be readable.
// Yields the package, or the outcome to report instead.
std::variant<ZipReader, ToolOutcome> openOfficePackage(const QString& path);
