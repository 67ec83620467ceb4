#include "core/tool_approval_policy.h"

#include "tools/path_expansion.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <sys/stat.h>

namespace {

std::optional<QString> realPath(const QString& path) {
    char* resolved = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (resolved == nullptr) {
        return std::nullopt;
    }
    const QString result = QFile::decodeName(resolved);
    std::free(resolved);
    return result;
}

bool entryExists(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// Whether a target so resolved is strictly inside `folder`.
bool resolvesInside(const std::optional<QString>& target, const QString& folder) {
    const auto root = canonicalTarget(folder);
    return target && root && target->startsWith(*root + (root->endsWith('/') ? "" : "/"));
}

} // namespace

ToolReach toolReach(const QString& tool) {
    const ToolSpec* spec = findTool(tool);
    return spec ? spec->reach : ToolReach::reads;
}

WriteTarget writeTarget(const QString& tool, const ToolArguments& args) {
    if (toolReach(tool) != ToolReach::writesFile) {
        return {};
    }
    const QString path = expandTilde(args.value(QStringLiteral("path")));
    WriteTarget target{path, canonicalTarget(path), std::nullopt, 0};
    // A file with other names (hard links) is rewritten in place, so the write
    // also changes them, and they may lie anywhere on the same file system.
    if (struct stat info{};
        ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        target.replacedSize = info.st_size;
        target.otherNames = int(info.st_nlink) - 1;
    }
    return target;
}

std::optional<QString> canonicalTarget(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + '/' + path;
    QStringList missing; // the trailing parts that do not exist, outermost last
    QString existing = absolute;
    std::optional<QString> resolved;
    while (!(resolved = realPath(existing))) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash < 0) {
            return std::nullopt;
        }
        const QString part = existing.mid(slash + 1);
        // A dangling symlink is followed when written; ".." after a missing
        // folder is only known once that folder is made.
        if (part == QLatin1String("..") || (!part.isEmpty() && entryExists(existing))) {
            return std::nullopt;
        }
        if (!part.isEmpty() && part != QLatin1String(".")) {
            missing.prepend(part);
        }
        existing = slash == 0 ? QStringLiteral("/") : existing.left(slash);
    }
    QString result = *resolved;
    for (const QString& part : missing) {
        result += (result.endsWith('/') ? QString() : QStringLiteral("/")) + part;
    }
    return result;
}

bool needsApproval(const QString& tool, const WriteTarget& target, const QString& agentFolder) {
    switch (toolReach(tool)) {
    case ToolReach::reads:
        return false;
    case ToolReach::runsCommand:
        return true;
    case ToolReach::writesFile:
        return !resolvesInside(target.canonical, agentFolder) || target.otherNames > 0;
    }
    return true;
}
