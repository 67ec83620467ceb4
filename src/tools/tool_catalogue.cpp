#include "tools/tool_catalogue.h"

#include <QJsonObject>

#include <initializer_list>
#include <utility>

namespace {

struct Parameter {
    const char* name;
    const char* description;
};

QJsonObject tool(const char* name, const char* description,
                 std::initializer_list<Parameter> parameters) {
    QJsonObject properties;
    QJsonArray required;
    for (const Parameter& parameter : parameters) {
        properties.insert(
            QString::fromUtf8(parameter.name),
            QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                        {QStringLiteral("description"), QString::fromUtf8(parameter.description)}});
        required.append(QString::fromUtf8(parameter.name));
    }
    const QJsonObject schema{{QStringLiteral("type"), QStringLiteral("object")},
                             {QStringLiteral("properties"), properties},
                             {QStringLiteral("required"), required}};
    const QJsonObject function{{QStringLiteral("name"), QString::fromUtf8(name)},
                               {QStringLiteral("description"), QString::fromUtf8(description)},
                               {QStringLiteral("parameters"), schema}};
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("function")},
                       {QStringLiteral("function"), function}};
}

QJsonArray buildCatalogue() {
    return QJsonArray{
        tool("read_file", "Read a file's contents from the computer.",
             {{"path", "Absolute path to the file to read"}}),
        tool("write_file", "Create or overwrite a file on the computer.",
             {{"path", "Absolute path to the file to write"}, {"content", "The content to write"}}),
        tool("list_directory", "List all files and subdirectories in a directory.",
             {{"path", "Absolute path to the directory"}}),
        tool("search_files", "Search for a text pattern in files recursively.",
             {{"directory", "Directory to search in"}, {"pattern", "Text pattern to search for"}}),
        tool("run_command", "Execute a shell command in zsh and return output.",
             {{"command", "Shell command to execute"}}),
        tool("read_pdf", "Extract text content from a PDF file.",
             {{"path", "Absolute path to the PDF file"}}),
        tool("read_image", "OCR: recognize and extract text from an image (PNG/JPG/HEIC).",
             {{"path", "Absolute path to the image file"}}),
        tool("read_docx", "Extract text from a Word DOCX file.",
             {{"path", "Absolute path to the .docx file"}}),
        tool("read_xlsx", "Read cell data from an Excel XLSX spreadsheet.",
             {{"path", "Absolute path to the .xlsx file"}}),
        tool(
            "create_pdf_slides",
            "Generate a PDF presentation with multiple slides. Each slide has a title, optional "
            "subtitle, and bullet points.",
            {{"path", "Absolute path for the output PDF file"},
             {"slides",
              R"(JSON array of slides: [{"title":"...","subtitle":"...","bullets":["..."]},...])"}}),
        tool("create_pptx",
             "Generate a PowerPoint PPTX file with multiple slides (opens in Keynote/PowerPoint).",
             {{"path", "Absolute path for the output .pptx file"},
              {"slides", R"(JSON array of slides: [{"title":"...","bullets":["..."]},...])"}}),
        tool("create_xlsx", "Generate an Excel XLSX spreadsheet from a 2D array of data.",
             {{"path", "Absolute path for the output .xlsx file"},
              {"data", R"(JSON 2D array: [["header1","header2"],["val1","val2"],...])"}}),
    };
}

} // namespace

const QJsonArray& toolDefinitions() {
    static const QJsonArray catalogue = buildCatalogue();
    return catalogue;
}
