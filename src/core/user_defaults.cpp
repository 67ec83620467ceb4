#include "core/user_defaults.h"

#include "storage/durable_file.h"
#include "storage/write_litter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr mode_t kOwnerOnly = 0600;
// The scratch folders a save writes in, beside the file: ".Emberglass-<pid>-XXXXXX".
const QString kScratchStem = QStringLiteral("Emberglass");

QString applicationFileName() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Emberglass"),
                     QStringLiteral("Emberglass"))
        .fileName();
}

// A file left readable by others (an older version, a copy) is closed up at once.
void makePrivate(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    struct stat info {};
    if (::stat(local.constData(), &info) == 0 && (info.st_mode & 0777) != kOwnerOnly) {
        ::chmod(local.constData(), kOwnerOnly);
    }
}

// A QSettings that is never given a value only reads: it never writes the file.
// It is given a name of its own for the file (a hard link): under a name it has
// seen before, it answers from memory while the size and time look unchanged,
// which they do for a file it has just written cut short, or a same-sized
// file written again within the millisecond.
QVariantMap readValues(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    const QByteArray alias = scratchFileName(local);
    const bool linked = ::link(local.constData(), alias.constData()) == 0;
    QVariantMap values;
    {
        const QSettings reader(QFile::decodeName(linked ? alias : local), QSettings::IniFormat);
        for (const QString& key : reader.allKeys()) {
            values.insert(key, reader.value(key));
        }
    }
    if (linked) {
        ::unlink(alias.constData());
    }
    return values;
}

// Read back, a value comes as QSettings stores it: text for a flag or a number.
bool readsBackAs(const QVariant& stored, const QVariant& expected) {
    return stored == expected ||
           (stored.metaType() != expected.metaType() && stored.toString() == expected.toString());
}

bool readsBackAs(const QVariantMap& stored, const QVariantMap& expected) {
    if (stored.keys() != expected.keys()) {
        return false;
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!readsBackAs(stored.value(it.key()), it.value())) {
            return false;
        }
    }
    return true;
}

// QSettings' own writer does not say why a write failed, and can report success
// for a cut-off file; a full disk is by far the likeliest reason.
int likelyWriteError(const QString& folder) {
    struct statvfs info {};
    const bool full =
        ::statvfs(QFile::encodeName(folder).constData(), &info) == 0 && info.f_bavail == 0;
    return full ? ENOSPC : EIO;
}

struct Serialised {
    QByteArray bytes;
    int error = 0;
};

// The file's bytes for the values. QSettings is trusted to format them only:
// it writes into a private scratch folder beside the file, and what it wrote
// is read back and compared before anything else uses it.
Serialised serialise(const QVariantMap& values, const QString& folder) {
    QByteArray scratch = scratchFolderTemplate(folder, kScratchStem);
    if (::mkdtemp(scratch.data()) == nullptr) { // mode 0700: the keys stay private
        return {{}, errno};
    }
    const QString scratchFolder = QFile::decodeName(scratch);
    const QString file = scratchFolder + QStringLiteral("/settings.conf");
    Serialised result;
    // Made private before QSettings writes it: its writer keeps the mode it finds.
    if (const int made = ::open(QFile::encodeName(file).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
        made >= 0) {
        ::close(made);
    }
    {
        QSettings writer(file, QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            writer.setValue(it.key(), it.value());
        }
        writer.sync();
        if (writer.status() != QSettings::NoError) {
            result.error = likelyWriteError(folder);
        }
    }
    if (result.error == 0 && !readsBackAs(readValues(file), values)) {
        result.error = likelyWriteError(folder);
    }
    if (result.error == 0) {
        QFile written(file);
        if (written.open(QIODevice::ReadOnly)) {
            result.bytes = written.readAll();
        }
        if (!written.isOpen() || written.error() != QFileDevice::NoError) {
            result.error = EIO;
        }
    }
    QDir(scratchFolder).removeRecursively();
    return result;
}

} // namespace

UserDefaults::UserDefaults() : UserDefaults(applicationFileName()) {}

UserDefaults::UserDefaults(const QString& filePath) : m_fileName(filePath) {
    // A save that was killed left its scratch copies of the keys behind.
    removeWriteLitter(QFileInfo(m_fileName).absolutePath(), kScratchStem);
    makePrivate(m_fileName);
    m_values = readValues(m_fileName);
}

QVariant UserDefaults::value(const char* key) const {
    return m_values.value(QLatin1String(key));
}

bool UserDefaults::contains(const char* key) const {
    return m_values.contains(QLatin1String(key));
}

void UserDefaults::refresh() {
    m_values.insert(readValues(m_fileName));
}

WriteResult UserDefaults::setValue(const char* key, const QVariant& value) {
    refresh();
    QVariantMap next = m_values;
    next.insert(QLatin1String(key), value);
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (const WriteResult made = createDirectories(folder); !made.ok()) {
        return made;
    }
    const Serialised serialised = serialise(next, folder);
    if (serialised.error != 0) {
        return WriteResult::failure(serialised.error);
    }
    const WriteResult written = replaceFileDurably(m_fileName, serialised.bytes, kOwnerOnly);
    if (written.ok()) {
        m_values = std::move(next);
    }
    return written;
}
