#include "tools/readers/zip_reader.h"

#include <QFile>

#include <zip.h>

#include <algorithm>
#include <array>
#include <utility>

namespace {

QString describeZipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// Libzip's answers that mean "these bytes are not a ZIP archive" rather than
// "the file could not be read".
bool meansNotAnArchive(int code) {
    return code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS || code == ZIP_ER_EOF;
}

QString refusal(const char* memberName, const char* reason) {
    return QString::fromUtf8(memberName) + QLatin1String(reason);
}

ZipMember failed(QString error) {
    return {ZipMember::Status::Failed, {}, std::move(error)};
}

} // namespace

ZipReader::ZipReader(zip* archive, QString openError)
    : m_archive(archive), m_openError(std::move(openError)) {}

ZipReader::ZipReader(ZipReader&& other) noexcept
    : m_archive(std::exchange(other.m_archive, nullptr)),
      m_openError(std::move(other.m_openError)) {}

ZipReader::~ZipReader() {
    if (m_archive != nullptr) {
        zip_discard(m_archive);
    }
}

ZipReader ZipReader::openFile(const QString& path) {
    int code = ZIP_ER_OK;
    zip* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (archive == nullptr && !meansNotAnArchive(code)) {
        return ZipReader(nullptr, describeZipError(code));
    }
    return ZipReader(archive, {});
}

ZipMember ZipReader::read(const char* memberName) const {
    if (m_archive == nullptr) {
        return {};
    }
    const zip_int64_t index = zip_name_locate(m_archive, memberName, 0);
    if (index < 0) {
        return {};
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0 || (stat.valid & ZIP_STAT_COMP_SIZE) == 0) {
        return failed(QString::fromUtf8(zip_strerror(m_archive)));
    }
    const zip_uint64_t declaredSize = stat.size;
    if (declaredSize > zip_uint64_t(maxMemberSize)) {
        return failed(refusal(memberName, " is larger than 256 MB uncompressed; not reading it"));
    }
    if (declaredSize >= zip_uint64_t(ratioCheckedFrom) &&
        declaredSize / std::max<zip_uint64_t>(stat.comp_size, 1) >
            zip_uint64_t(maxCompressionRatio)) {
        return failed(
            refusal(memberName, " would expand over 200-fold, like a zip bomb; not reading it"));
    }

    zip_file_t* file = zip_fopen_index(m_archive, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) {
        return failed(QString::fromUtf8(zip_strerror(m_archive)));
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(declaredSize));
    std::array<char, 64 * 1024> chunk{};
    QString error;
    for (;;) {
        const zip_int64_t count = zip_fread(file, chunk.data(), chunk.size());
        if (count < 0) {
            error = QString::fromUtf8(zip_file_strerror(file));
            break;
        }
        if (count == 0) {
            break;
        }
        // The declared size is the one the checks above accepted.
        if (zip_uint64_t(bytes.size()) + zip_uint64_t(count) > declaredSize) {
            error = refusal(memberName,
                            " inflates beyond the size its archive declares; not reading it");
            break;
        }
        bytes.append(chunk.data(), static_cast<qsizetype>(count));
    }
    zip_fclose(file);
    if (!error.isEmpty()) {
        return failed(error);
    }
    return {ZipMember::Status::Read, bytes, {}};
}
