#pragma once

#include "tools/tool_types.h"

// create_pptx: a PowerPoint file from a JSON array of slides.
ToolOutcome createPptx(const QString& path, const QString& slidesJson);
