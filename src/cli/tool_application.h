#pragma once

#include <QCoreApplication>

#include <memory>

// The application object for one emberglass-tool run. Only create_pdf_slides
// draws, and drawing text needs a GUI application (on the offscreen platform:
// no window is shown); every other tool gets a plain QCoreApplication and so
// starts without loading Qt GUI, fonts or a platform plugin.
std::unique_ptr<QCoreApplication> createToolApplication(int& argc, char** argv);
