#pragma once

#include <QString>

#include <optional>

// Creates the folders above an output file that do not exist yet. A failure is
// not reported here: opening the file then fails with the reason.
void createParentFolders(const QString& outputPath);

// Why no document may be written at `outputPath`, or nothing. A NUL would cut
// the name the system is given short (the file would land elsewhere), and a
// FIFO or a device put aside for a new file is not a file the user meant.
std::optional<QString> outputTargetProblem(const QString& outputPath);
