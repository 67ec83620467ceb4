#include "tools/path_expansion.h"

#include <QDir>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace {

QString homeOfUser(const QString& user) {
    const QByteArray name = user.toLocal8Bit();
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    // getpwnam_r keeps this safe on worker threads.
    if (getpwnam_r(name.constData(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return QString::fromLocal8Bit(found->pw_dir);
}

} // namespace

QString expandTilde(const QString& path) {
    if (!path.startsWith(QLatin1Char('~'))) {
        return path;
    }
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString rest = slash < 0 ? QString() : path.mid(slash);
    const QString home = user.isEmpty() ? QDir::homePath() : homeOfUser(user);
    if (home.isEmpty()) {
        return path;
    }
    return home + rest;
}
