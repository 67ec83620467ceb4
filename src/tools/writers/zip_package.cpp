#include "tools/writers/zip_package.h"

#include "storage/durable_file.h"
#include "tools/tool_texts.h"
#include "tools/writers/output_folder.h"
#include "tools/writers/writer_messages.h"

#include <zip.h>

#include <memory>

namespace {

constexpr zip_uint32_t fastestDeflate = 1;

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceFree>;

bool addPart(zip_t* archive, const PackagePart& part) {
    // The part's bytes are borrowed, not copied: the caller keeps them alive
    // until zip_close has run.
    zip_source_t* source =
        zip_source_buffer(archive, part.content.constData(), part.content.size(), 0);
    if (source == nullptr) {
        return false;
    }
    const zip_int64_t index =
        zip_file_add(archive, part.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    // Level 1: generated XML is so repetitive that the fastest level already
    // shrinks it about sevenfold; the default level costs eight times the time
    // for files only a fifth smaller.
    return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                    fastestDeflate) == 0;
}

// The finished archive's bytes, read back from the in-memory source.
std::optional<QByteArray> readSource(zip_source_t* source) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
        zip_source_open(source) != 0) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(source, bytes.data(), stat.size);
    zip_source_close(source);
    if (read != static_cast<zip_int64_t>(stat.size)) {
        return std::nullopt;
    }
    return bytes;
}

// Builds the whole archive in memory; nothing touches the disk here.
std::optional<QByteArray> buildArchive(const QList<PackagePart>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    SourceHandle source(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!source) {
        return std::nullopt;
    }
    zip_t* archive = zip_open_from_source(source.get(), ZIP_TRUNCATE, nullptr);
    if (archive == nullptr) {
        return std::nullopt;
    }
    // zip_close frees the source it was opened on; keep it to read the result.
    zip_source_keep(source.get());
    for (const PackagePart& part : parts) {
        if (!addPart(archive, part)) {
            zip_discard(archive);
            return std::nullopt;
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return std::nullopt;
    }
    return readSource(source.get());
}

} // namespace

std::optional<QString> writeZipPackage(const QString& outputPath, const QList<PackagePart>& parts) {
    if (const std::optional<QString> problem = outputTargetProblem(outputPath)) {
        return ToolTexts::error(*problem);
    }
    const std::optional<QByteArray> archive = buildArchive(parts);
    if (!archive) {
        return WriterMessages::zipFailed();
    }
    createParentFolders(outputPath);
    // On disk before success is reported; a full disk leaves any old file as it was.
    const WriteResult written = replaceFileDurably(outputPath, *archive);
    if (!written.ok()) {
        return ToolTexts::error(written.description());
    }
    return std::nullopt;
}
