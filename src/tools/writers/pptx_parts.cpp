#include "tools/writers/pptx_parts.h"

#include "tools/writers/ooxml_names.h"
#include "tools/writers/opc_parts.h"
#include "tools/writers/xml_text.h"

namespace PptxParts {

namespace {

const QString rId1 = QStringLiteral("rId1");

QString slideNumberText(qsizetype index) {
    return QString::number(index + 1);
}

// Declaration and a PresentationML root opening tag with the a, r, p prefixes.
QString presentationRoot(const char* element, const char* attributes = "") {
    return QLatin1String(Ooxml::xmlDeclaration) + QStringLiteral("<p:") + QLatin1String(element) +
           QStringLiteral(" xmlns:a=\"") + QLatin1String(Ooxml::drawingMainNamespace) +
           QStringLiteral("\" xmlns:r=\"") + QLatin1String(Ooxml::relationshipsNamespace) +
           QStringLiteral("\" xmlns:p=\"") + QLatin1String(Ooxml::presentationMainNamespace) +
           QLatin1Char('"') + QLatin1String(attributes) + QStringLiteral(">\n");
}

// The group shape's own non-visual and visual properties, as every shape tree needs.
const QString groupShapeProperties = QStringLiteral(
    "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr/>");
const QString emptyShapeTree =
    QStringLiteral("<p:spTree>") + groupShapeProperties + QStringLiteral("</p:spTree>");

struct Placeholder {
    const char* id;
    const char* name;
    const char* ph;
    const char* offset;
    const char* extent;
    const char* runProperties;
};

const Placeholder titlePlaceholder{"2",
                                   "Title",
                                   "type=\"title\"",
                                   "x=\"838200\" y=\"365125\"",
                                   "cx=\"10515600\" cy=\"1325563\"",
                                   "lang=\"en-US\" sz=\"3600\" b=\"1\" dirty=\"0\""};
const Placeholder contentPlaceholder{"3",
                                     "Content",
                                     "idx=\"1\"",
                                     "x=\"838200\" y=\"1825625\"",
                                     "cx=\"10515600\" cy=\"4351338\"",
                                     "lang=\"en-US\" sz=\"2000\" dirty=\"0\""};

QString shape(const Placeholder& p, const QString& text) {
    return QStringLiteral("<p:sp><p:nvSpPr><p:cNvPr id=\"") + QLatin1String(p.id) +
           QStringLiteral("\" name=\"") + QLatin1String(p.name) +
           QStringLiteral("\"/><p:cNvSpPr><a:spLocks noGrp=\"1\"/></p:cNvSpPr><p:nvPr><p:ph ") +
           QLatin1String(p.ph) + QStringLiteral("/></p:nvPr></p:nvSpPr>\n<p:spPr><a:xfrm><a:off ") +
           QLatin1String(p.offset) + QStringLiteral("/><a:ext ") + QLatin1String(p.extent) +
           QStringLiteral(
               "/></a:xfrm></p:spPr>\n<p:txBody><a:bodyPr/><a:lstStyle/><a:p><a:r><a:rPr ") +
           QLatin1String(p.runProperties) + QStringLiteral("/><a:t>") + escapeXmlText(text) +
           QStringLiteral("</a:t></a:r></a:p></p:txBody></p:sp>");
}

QString colour(const char* slot, const char* rgb) {
    return QStringLiteral("<a:") + QLatin1String(slot) + QStringLiteral("><a:srgbClr val=\"") +
           QLatin1String(rgb) + QStringLiteral("\"/></a:") + QLatin1String(slot) + QLatin1Char('>');
}

QString threeTimes(const QString& element) {
    return element + element + element;
}

// Latin face named; the East Asian and complex-script faces are required
// elements, left to the application's defaults.
QString themeFont(const char* element) {
    return QStringLiteral("<a:") + QLatin1String(element) +
           QStringLiteral("><a:latin typeface=\"Helvetica Neue\"/><a:ea typeface=\"\"/>"
                          "<a:cs typeface=\"\"/></a:") +
           QLatin1String(element) + QLatin1Char('>');
}

} // namespace

QString contentTypes(qsizetype slideCount) {
    const auto type = [](const char* kind) {
        return QStringLiteral("application/vnd.openxmlformats-officedocument.") +
               QLatin1String(kind) + QStringLiteral("+xml");
    };
    QString xml = OpcParts::contentTypesOpening();
    xml += OpcParts::contentTypeOverride(QStringLiteral("/ppt/presentation.xml"),
                                         type("presentationml.presentation.main")) +
           QLatin1Char('\n');
    xml += OpcParts::contentTypeOverride(QStringLiteral("/ppt/slideMasters/slideMaster1.xml"),
                                         type("presentationml.slideMaster")) +
           QLatin1Char('\n');
    xml += OpcParts::contentTypeOverride(QStringLiteral("/ppt/slideLayouts/slideLayout1.xml"),
                                         type("presentationml.slideLayout")) +
           QLatin1Char('\n');
    xml += OpcParts::contentTypeOverride(QStringLiteral("/ppt/theme/theme1.xml"), type("theme")) +
           QLatin1Char('\n');
    QStringList slideLines;
    for (qsizetype i = 0; i < slideCount; ++i) {
        slideLines.append(OpcParts::contentTypeOverride(
            QStringLiteral("/ppt/slides/slide") + slideNumberText(i) + QStringLiteral(".xml"),
            type("presentationml.slide")));
    }
    return xml + slideLines.join(QLatin1Char('\n')) + QLatin1Char('\n') +
           OpcParts::contentTypesClosing();
}

QString presentation(qsizetype slideCount) {
    QString slideIds;
    for (qsizetype i = 0; i < slideCount; ++i) {
        slideIds += QStringLiteral("<p:sldId id=\"") + QString::number(256 + i) +
                    QStringLiteral("\" r:id=\"rId") + QString::number(i + 3) +
                    QStringLiteral("\"/>");
    }
    return presentationRoot("presentation") +
           QStringLiteral("<p:sldMasterIdLst><p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/>"
                          "</p:sldMasterIdLst>\n<p:sldIdLst>") +
           slideIds +
           QStringLiteral("</p:sldIdLst>\n<p:sldSz cx=\"12192000\" cy=\"6858000\"/>\n"
                          "<p:notesSz cx=\"6858000\" cy=\"9144000\"/>\n</p:presentation>");
}

QString presentationRelationships(qsizetype slideCount) {
    QString xml = OpcParts::relationshipsOpening() +
                  OpcParts::relationship(rId1, Ooxml::slideMasterType,
                                         QStringLiteral("slideMasters/slideMaster1.xml")) +
                  QLatin1Char('\n') +
                  OpcParts::relationship(QStringLiteral("rId2"), Ooxml::themeType,
                                         QStringLiteral("theme/theme1.xml"));
    for (qsizetype i = 0; i < slideCount; ++i) {
        xml += OpcParts::relationship(
                   QStringLiteral("rId") + QString::number(i + 3), Ooxml::slideType,
                   QStringLiteral("slides/slide") + slideNumberText(i) + QStringLiteral(".xml")) +
               QLatin1Char('\n');
    }
    return xml + OpcParts::relationshipsClosing();
}

QString slideLayout() {
    return presentationRoot("sldLayout", " type=\"obj\"") + QStringLiteral("<p:cSld>") +
           emptyShapeTree + QStringLiteral("</p:cSld></p:sldLayout>");
}

QString slideLayoutRelationships() {
    return OpcParts::relationshipsPart(
        {{rId1, Ooxml::slideMasterType, QStringLiteral("../slideMasters/slideMaster1.xml")}});
}

QString slideMaster() {
    // The colour map is required after the common slide data; the standard one.
    return presentationRoot("sldMaster") +
           QStringLiteral("<p:cSld><p:bg><p:bgRef idx=\"1001\"><a:schemeClr val=\"bg1\"/></p:bgRef>"
                          "</p:bg>") +
           emptyShapeTree +
           QStringLiteral("</p:cSld><p:clrMap bg1=\"lt1\" tx1=\"dk1\" bg2=\"lt2\" tx2=\"dk2\" "
                          "accent1=\"accent1\" accent2=\"accent2\" accent3=\"accent3\" "
                          "accent4=\"accent4\" accent5=\"accent5\" accent6=\"accent6\" "
                          "hlink=\"hlink\" folHlink=\"folHlink\"/>\n"
                          "<p:sldLayoutIdLst><p:sldLayoutId id=\"2147483649\" r:id=\"rId1\"/>"
                          "</p:sldLayoutIdLst></p:sldMaster>");
}

QString slideMasterRelationships() {
    return OpcParts::relationshipsPart(
        {{rId1, Ooxml::slideLayoutType, QStringLiteral("../slideLayouts/slideLayout1.xml")},
         {QStringLiteral("rId2"), Ooxml::themeType, QStringLiteral("../theme/theme1.xml")}});
}

QString theme() {
    const QString solidPlaceholderFill =
        QStringLiteral("<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>");
    return QLatin1String(Ooxml::xmlDeclaration) + QStringLiteral("<a:theme xmlns:a=\"") +
           QLatin1String(Ooxml::drawingMainNamespace) +
           QStringLiteral("\" name=\"Emberglass\">\n<a:themeElements><a:clrScheme "
                          "name=\"Emberglass\">") +
           colour("dk1", "1A1A1A") + colour("lt1", "FAFAF7") + QLatin1Char('\n') +
           colour("dk2", "1A1A1A") + colour("lt2", "F2F2F0") + QLatin1Char('\n') +
           colour("accent1", "FF6B2C") + colour("accent2", "3B82F6") + QLatin1Char('\n') +
           colour("accent3", "10B981") + colour("accent4", "8B5CF6") + QLatin1Char('\n') +
           colour("accent5", "F59E0B") + colour("accent6", "EF4444") + QLatin1Char('\n') +
           colour("hlink", "FF6B2C") + colour("folHlink", "FF6B2C") + QLatin1Char('\n') +
           QStringLiteral("</a:clrScheme><a:fontScheme name=\"EG\">") + themeFont("majorFont") +
           themeFont("minorFont") +
           QStringLiteral("</a:fontScheme><a:fmtScheme name=\"Office\"><a:fillStyleLst>") +
           threeTimes(solidPlaceholderFill) + QStringLiteral("</a:fillStyleLst><a:lnStyleLst>") +
           threeTimes(QStringLiteral("<a:ln w=\"6350\">") + solidPlaceholderFill +
                      QStringLiteral("</a:ln>")) +
           QStringLiteral("</a:lnStyleLst><a:effectStyleLst>") +
           threeTimes(QStringLiteral("<a:effectStyle><a:effectLst/></a:effectStyle>")) +
           QStringLiteral("</a:effectStyleLst><a:bgFillStyleLst>") +
           threeTimes(solidPlaceholderFill) +
           QStringLiteral("</a:bgFillStyleLst></a:fmtScheme></a:themeElements></a:theme>");
}

QString slide(const SlideContent& content) {
    return presentationRoot("sld") + QStringLiteral("<p:cSld><p:spTree>") + groupShapeProperties +
           QLatin1Char('\n') + shape(titlePlaceholder, content.title) + QLatin1Char('\n') +
           shape(contentPlaceholder, bodyText(content.bullets)) +
           QStringLiteral("\n</p:spTree></p:cSld></p:sld>");
}

QString slideRelationships() {
    return OpcParts::relationshipsPart(
        {{rId1, Ooxml::slideLayoutType, QStringLiteral("../slideLayouts/slideLayout1.xml")}});
}

QString bodyText(const QStringList& bullets) {
    QStringList lines;
    lines.reserve(bullets.size());
    for (const QString& bullet : bullets) {
        lines.append(QStringLiteral("  ") + bullet);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace PptxParts
