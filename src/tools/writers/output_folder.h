#pragma once

#include <QString>

// Creates the folders above an output file that do not exist yet. A failure is
// not reported here: opening the file then fails with the reason.
void createParentFolders(const QString& outputPath);
