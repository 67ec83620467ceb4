#pragma once

#include <QByteArray>
#include <QString>

// What a killed save leaves behind, and how it is found again. Every scratch
// name the writers make carries the writer's process id, so the next start
// can tell the litter of a dead writer from the files of one still at work.

// A new scratch name beside `target`: "<target>.~<pid>-<random hex>".
QByteArray scratchFileName(const QByteArray& target);

// A mkdtemp() template in `folder` for a scratch folder named after `stem`:
// "<folder>/.<stem>-<pid>-XXXXXX".
QByteArray scratchFolderTemplate(const QString& folder, const QString& stem);

// Removes, from `folder` itself (not below it), the scratch files of writers
// that are no longer running and, when a stem is given, their scratch folders.
// Names from before the process id was added ("<name>.~<hex>",
// ".<stem>-XXXXXX") count as a dead writer's.
void removeWriteLitter(const QString& folder, const QString& scratchFolderStem = {});
