#pragma once

#include <QString>

// What stands at a path, asked without opening it: the readers' libraries
// open with plain open(), which waits for ever on a FIFO without a writer and
// reads a device without end. Symbolic links are followed.
enum class FileKind { missing, regular, directory, other };

FileKind fileKind(const QString& path);
