#pragma once

#include <QByteArray>
#include <QString>

struct zip;

// One member of a package, read into memory.
struct ZipMember {
    enum class Status { Read, Missing, Failed };
    Status status = Status::Missing;
    QByteArray bytes;
    QString error; // why a member that exists could not be read
};

// Read-only access to the members of a ZIP package (DOCX, XLSX) without
// unpacking it anywhere. A file that is not a ZIP archive opens as a package
// without members, so the caller reports the part it was looking for.
//
// Members are inflated in memory, so each one is bounded: a member larger than
// maxMemberSize, or one that claims a compression ratio no document part has,
// is refused before inflating, and the inflated bytes are counted against the
// size the archive declares so a forged header cannot get past either check.
class ZipReader {
public:
    static constexpr qint64 maxMemberSize = qint64(256) * 1024 * 1024;
    static constexpr qint64 maxCompressionRatio = 200;
    // Small members cannot hurt whatever their ratio (an empty sheet
    // compresses extremely well).
    static constexpr qint64 ratioCheckedFrom = qint64(8) * 1024 * 1024;

    static ZipReader openFile(const QString& path);

    ZipReader(ZipReader&& other) noexcept;
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;
    ZipReader& operator=(ZipReader&&) = delete;
    ~ZipReader();

    // Empty when the package opened, or when the file is simply not a ZIP
    // archive; the description of the failure otherwise (unreadable file).
    const QString& openError() const { return m_openError; }

    ZipMember read(const char* memberName) const;

private:
    ZipReader(zip* archive, QString openError);

    zip* m_archive = nullptr;
    QString m_openError;
};
