#pragma once

// Namespace, relationship-type and content-type URIs of ECMA-376 (transitional)
// that the PPTX and XLSX packages use.
namespace Ooxml {

inline constexpr char xmlDeclaration[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

inline constexpr char contentTypesNamespace[] =
    "http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr char packageRelationshipsNamespace[] =
    "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr char relationshipsNamespace[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr char drawingMainNamespace[] =
    "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr char presentationMainNamespace[] =
    "http://schemas.openxmlformats.org/presentationml/2006/main";
inline constexpr char spreadsheetMainNamespace[] =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// Relationship types: relationshipsNamespace + "/" + one of these.
inline constexpr char officeDocumentType[] = "officeDocument";
inline constexpr char slideMasterType[] = "slideMaster";
inline constexpr char slideLayoutType[] = "slideLayout";
inline constexpr char slideType[] = "slide";
inline constexpr char themeType[] = "theme";
inline constexpr char worksheetType[] = "worksheet";
inline constexpr char stylesType[] = "styles";

inline constexpr char relationshipsContentType[] =
    "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr char xmlContentType[] = "application/xml";

} // namespace Ooxml
