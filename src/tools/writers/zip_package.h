#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// One member of an OOXML package: its name inside the archive and its bytes.
struct PackagePart {
    QString name;
    QByteArray content;
};

// Packs the parts, in the given order and deflated, into a ZIP archive at
// outputPath (exactly that name; a relative path resolves against the working
// directory). Missing parent folders are created. The archive is written to a
// temporary file beside the output and renamed into place, so an existing file
// is replaced only by a complete archive. Returns the tool's error text on
// failure, nothing on success.
std::optional<QString> writeZipPackage(const QString& outputPath, const QList<PackagePart>& parts);
