#pragma once

#include <QString>

#include <vector>

// What a call of a tool does to the computer. Reading never asks the user; a
// command always does; a file written does unless it lands in the agent's folder.
enum class ToolReach { reads, runsCommand, writesFile };

// Every tool, once, in the order the model is offered them:
//   TOOL(name, symbol, reach, description, call, parameters...)
// symbol: the icon the window shows beside its calls; description: one line, as
// the model and `emberglass-tool --help` read it; call: the function that runs
// it, an expression over `arg("key")` / `arg("key", "default")` and `stop` that
// only the dispatcher expands; parameters: {"name", "description"}, all
// required. Adding a tool is one entry here (and the function it calls).
#define EMBERGLASS_TOOLS(TOOL)                                                                     \
    TOOL(read_file, "doc.text", reads, "Read a file's contents from the computer.",                \
         readFile(arg("path")), {"path", "Absolute path to the file to read"})                     \
    TOOL(write_file, "square.and.pencil", writesFile,                                              \
         "Create or overwrite a file on the computer.", writeFile(arg("path"), arg("content")),    \
         {"path", "Absolute path to the file to write"}, {"content", "The content to write"})      \
    TOOL(list_directory, "folder", reads, "List all files and subdirectories in a directory.",     \
         listDirectory(arg("path", ".")), {"path", "Absolute path to the directory"})              \
    TOOL(search_files, "magnifyingglass", reads,                                                   \
         "Search for a text pattern in files recursively.",                                        \
         searchFiles(arg("directory", "."), arg("pattern")),                                       \
         {"directory", "Directory to search in"}, {"pattern", "Text pattern to search for"})       \
    TOOL(run_command, "terminal", runsCommand,                                                     \
         "Execute a shell command in zsh and return output.",                                      \
         runCommand(arg("command"), std::chrono::seconds(FileToolLimits::commandTimeoutSeconds),   \
                    stop),                                                                         \
         {"command", "Shell command to execute"})                                                  \
    TOOL(read_pdf, "wrench", reads, "Extract text content from a PDF file.",                       \
         readPdf(arg("path"), stop), {"path", "Absolute path to the PDF file"})                    \
    TOOL(read_image, "wrench", reads,                                                              \
         "OCR: recognize and extract text from an image (PNG/JPG/HEIC).",                          \
         readImage(arg("path"), stop), {"path", "Absolute path to the image file"})                \
    TOOL(read_docx, "wrench", reads, "Extract text from a Word DOCX file.", readDocx(arg("path")), \
         {"path", "Absolute path to the .docx file"})                                              \
    TOOL(read_xlsx, "wrench", reads, "Read cell data from an Excel XLSX spreadsheet.",             \
         readXlsx(arg("path")), {"path", "Absolute path to the .xlsx file"})                       \
    TOOL(create_pdf_slides, "wrench", writesFile,                                                  \
         "Generate a PDF presentation with multiple slides. Each slide has a title, optional "     \
         "subtitle, and bullet points.",                                                           \
         createPdfSlides(arg("path"), arg("slides", "[]")),                                        \
         {"path", "Absolute path for the output PDF file"},                                        \
         {"slides",                                                                                \
          R"(JSON array of slides: [{"title":"...","subtitle":"...","bullets":["..."]},...])"})    \
    TOOL(create_pptx, "wrench", writesFile,                                                        \
         "Generate a PowerPoint PPTX file with multiple slides (opens in Keynote/PowerPoint).",    \
         createPptx(arg("path"), arg("slides", "[]")),                                             \
         {"path", "Absolute path for the output .pptx file"},                                      \
         {"slides", R"(JSON array of slides: [{"title":"...","bullets":["..."]},...])"})           \
    TOOL(create_xlsx, "wrench", writesFile,                                                        \
         "Generate an Excel XLSX spreadsheet from a 2D array of data.",                            \
         createXlsx(arg("path"), arg("data", "[]")),                                               \
         {"path", "Absolute path for the output .xlsx file"},                                      \
         {"data", R"(JSON 2D array: [["header1","header2"],["val1","val2"],...])"})

struct ToolParameter {
    const char* name;
    const char* description;
};

// A tool as the catalogue, the window and the approval step see it.
struct ToolSpec {
    QString name;
    QString symbol;
    ToolReach reach;
    QString description;
    std::vector<ToolParameter> parameters;
};

// The table, built once (thread-safe).
const std::vector<ToolSpec>& toolTable();

// The tool of that exact name, or nothing.
const ToolSpec* findTool(const QString& name);
