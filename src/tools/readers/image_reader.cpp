#include "tools/readers/image_reader.h"

#include "tools/not_available.h"

ToolOutcome readImage(const QString&) {
    return toolNotAvailable(QStringLiteral("read_image"));
}
