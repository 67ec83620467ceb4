#pragma once

#include "storage/write_result.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <sys/types.h>

// Writes that cannot report success without the bytes being on disk. Every
// step is checked: write (short writes and all), flush to disk, close, rename,
// and the sync of the folder that makes the rename itself last. Safe on any
// thread.

// Replaces the whole file: the bytes go to a new file beside it (readable by
// the user only until it is complete), which is
// synced and then renamed over the old one, so a reader (or a crash) sees the
// old content or the new, never a mix or an empty file. On any failure the old
// file is untouched. A symbolic link is followed and its target replaced. The
// file keeps its old permissions, owner, group and extended attributes (ACLs
// included), or gets `mode` when given, or the usual ones (0666 less the
// umask) when new. A file with other hard links, in a folder the user cannot
// write, or whose owner or attributes a new file could not be given, is
// rewritten in place instead (room reserved first, then synced): its other
// names see the new text, but a crash midway can leave a mix.
[[nodiscard]] WriteResult replaceFileDurably(const QString& path, QByteArrayView bytes,
                                             std::optional<mode_t> mode = std::nullopt);

// The same for a file that must not exist yet: fails with EEXIST rather than
// replace one that exists, or appears meanwhile. The file gets `mode` when given,
// else the usual one.
[[nodiscard]] WriteResult createFileDurably(const QString& path, QByteArrayView bytes,
                                            std::optional<mode_t> mode = std::nullopt);

// Adds the bytes at the end of an existing file, all of them or none: a write
// cut short (a full disk) is taken back, so no partial record is left behind.
[[nodiscard]] WriteResult appendDurably(const QString& path, QByteArrayView bytes);

// Like mkdir -p: every missing folder of the path, with the system's reason
// when a level cannot be made (ENOTDIR when a file stands in the way).
[[nodiscard]] WriteResult createDirectories(const QString& path);
