#pragma once

#include "tools/writers/slide_content.h"

#include <QString>

// The XML of each part of a generated presentation: one master, one layout,
// one theme and one slide part per slide, 16:9.
namespace PptxParts {

QString contentTypes(qsizetype slideCount);
QString presentation(qsizetype slideCount);
QString presentationRelationships(qsizetype slideCount);
QString slideLayout();
QString slideLayoutRelationships();
QString slideMaster();
QString slideMasterRelationships();
QString theme();
QString slide(const SlideContent& content);
QString slideRelationships();

// What the content placeholder holds: each bullet after two spaces, one per line.
QString bodyText(const QStringList& bullets);

} // namespace PptxParts
