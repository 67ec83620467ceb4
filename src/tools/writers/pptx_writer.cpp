#include "tools/writers/pptx_writer.h"

#include "tools/path_expansion.h"
#include "tools/writers/opc_parts.h"
#include "tools/writers/pptx_parts.h"
#include "tools/writers/writer_input.h"
#include "tools/writers/writer_messages.h"
#include "tools/writers/zip_package.h"

namespace {

QList<PackagePart> presentationPackage(const QList<SlideContent>& slides) {
    const qsizetype count = slides.size();
    QList<PackagePart> parts{
        {QStringLiteral("[Content_Types].xml"), PptxParts::contentTypes(count).toUtf8()},
        {QStringLiteral("_rels/.rels"),
         OpcParts::packageRelationships(QStringLiteral("ppt/presentation.xml")).toUtf8()},
        {QStringLiteral("ppt/presentation.xml"), PptxParts::presentation(count).toUtf8()},
        {QStringLiteral("ppt/_rels/presentation.xml.rels"),
         PptxParts::presentationRelationships(count).toUtf8()},
        {QStringLiteral("ppt/slideLayouts/slideLayout1.xml"), PptxParts::slideLayout().toUtf8()},
        {QStringLiteral("ppt/slideLayouts/_rels/slideLayout1.xml.rels"),
         PptxParts::slideLayoutRelationships().toUtf8()},
        {QStringLiteral("ppt/slideMasters/slideMaster1.xml"), PptxParts::slideMaster().toUtf8()},
        {QStringLiteral("ppt/slideMasters/_rels/slideMaster1.xml.rels"),
         PptxParts::slideMasterRelationships().toUtf8()},
        {QStringLiteral("ppt/theme/theme1.xml"), PptxParts::theme().toUtf8()},
    };
    const QByteArray slideRelationships = PptxParts::slideRelationships().toUtf8();
    for (qsizetype i = 0; i < count; ++i) {
        const QString number = QString::number(i + 1);
        parts.append({QStringLiteral("ppt/slides/slide") + number + QStringLiteral(".xml"),
                      PptxParts::slide(slides[i]).toUtf8()});
        parts.append(
            {QStringLiteral("ppt/slides/_rels/slide") + number + QStringLiteral(".xml.rels"),
             slideRelationships});
    }
    return parts;
}

} // namespace

ToolOutcome createPptx(const QString& path, const QString& slidesJson) {
    const QString tool = QStringLiteral("create_pptx");
    const std::optional<QList<SlideContent>> slides = parseSlides(slidesJson);
    if (auto refused = refusal(tool, slides, WriterMessages::invalidPptxSlides(),
                               WriterMessages::noSlides())) {
        return *refused;
    }
    if (const auto error = writeZipPackage(expandTilde(path), presentationPackage(*slides))) {
        return {tool, false, *error};
    }
    return {tool, true, WriterMessages::createdPptx(slides->size(), path)};
}
