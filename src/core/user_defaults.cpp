#include "core/user_defaults.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;

// Creating the file ourselves (mode 0600) before QSettings first writes it means
// no other user ever gets a moment to read it.
void createPrivateFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) {
        ::close(fd);
    }
}

} // namespace

UserDefaults::UserDefaults()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Emberglass"),
                                             QStringLiteral("Emberglass"))) {}

UserDefaults::UserDefaults(const QString& filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

QVariant UserDefaults::value(const char* key) const {
    return m_settings->value(QLatin1String(key));
}

bool UserDefaults::contains(const char* key) const {
    return m_settings->contains(QLatin1String(key));
}

void UserDefaults::setValue(const char* key, const QVariant& value) {
    createPrivateFile(m_settings->fileName());
    m_settings->setValue(QLatin1String(key), value);
    m_settings->sync();
    restrictPermissions();
}

QString UserDefaults::fileName() const {
    return m_settings->fileName();
}

void UserDefaults::restrictPermissions() {
    // QSettings rewrites the file through a temporary one; make sure the result is private.
    QFile file(m_settings->fileName());
    if (file.exists() && file.permissions() != ownerOnly) {
        file.setPermissions(ownerOnly);
    }
}
