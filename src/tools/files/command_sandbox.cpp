#include "tools/files/command_sandbox.h"

#include "tools/files/file_tool_texts.h"
#include "tools/files/utf8_text.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <array>
#include <atomic>

using namespace std::chrono_literals;

namespace CommandSandbox {

namespace {

std::atomic<bool> enabled{false};

// Below the home folder: keys and tokens of the usual command-line tools, the
// system keyring, and the browsers' profiles (saved passwords and cookies),
// native, Flatpak and Snap.
constexpr std::array hiddenInHome{
    ".ssh",
    ".gnupg",
    ".aws",
    ".azure",
    ".kube",
    ".docker",
    ".netrc",
    ".git-credentials",
    ".password-store",
    ".config/gh",
    ".config/gcloud",
    ".local/share/keyrings",
    ".mozilla",
    ".librewolf",
    ".thunderbird",
    ".config/google-chrome",
    ".config/google-chrome-beta",
    ".config/google-chrome-unstable",
    ".config/chromium",
    ".config/BraveSoftware",
    ".config/microsoft-edge",
    ".config/vivaldi",
    ".config/opera",
    ".var/app/org.mozilla.firefox",
    ".var/app/com.google.Chrome",
    ".var/app/org.chromium.Chromium",
    "snap/firefox",
    "snap/chromium",
};

// The folder QSettings keeps this app's settings (and so its API keys) in.
QString settingsFolder(const QString& home) {
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base =
        QDir::isAbsolutePath(configHome) ? configHome : home + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/Emberglass"));
}

void addIfPresent(Layout& layout, const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        layout.hiddenFolders << path;
    } else if (info.exists()) {
        layout.hiddenFiles << path;
    }
}

// The ways a command or a message may spell a hidden place.
QStringList spellings(const QString& path, const QString& home) {
    QStringList forms{path};
    if (!home.isEmpty() && path.startsWith(home + QLatin1Char('/'))) {
        const QString relative = path.mid(home.size() + 1);
        forms << QStringLiteral("~/") + relative << QStringLiteral("$HOME/") + relative
              << QStringLiteral("${HOME}/") + relative;
    }
    return forms;
}

// `form` in `text` as a whole path or the start of one: "~/.ssh" names
// ~/.ssh/id_rsa, not ~/.sshd.
bool containsPath(const QString& text, const QString& form) {
    for (qsizetype at = text.indexOf(form); at >= 0; at = text.indexOf(form, at + 1)) {
        const qsizetype end = at + form.size();
        if (end == text.size()) {
            return true;
        }
        const QChar next = text.at(end);
        if (!next.isLetterOrNumber() && next != QLatin1Char('.') && next != QLatin1Char('-') &&
            next != QLatin1Char('_')) {
            return true;
        }
    }
    return false;
}

bool namesHiddenPlace(const Layout& layout, const QString& text) {
    for (const QStringList* paths : {&layout.hiddenFolders, &layout.hiddenFiles}) {
        for (const QString& path : *paths) {
            for (const QString& form : spellings(path, layout.home)) {
                if (containsPath(text, form)) {
                    return true;
                }
            }
        }
    }
    return false;
}

QString firstLine(const QString& text) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("bwrap: "))) {
            trimmed.remove(0, 7);
        }
        if (!trimmed.isEmpty()) {
            return trimmed;
        }
    }
    return {};
}

struct Installed {
    QString program;
    Availability availability;
};

const Installed& installed() {
    static const Installed probed = [] {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("bwrap"));
        return Installed{program, probe(program)};
    }();
    return probed;
}

} // namespace

void setEnabled(bool on) {
    enabled.store(on);
}

bool isEnabled() {
    return enabled.load();
}

Availability probe(const QString& program) {
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        return {false, FileToolTexts::sandboxNotInstalled()};
    }
    Utf8StreamCapture errors(4096);
    const ChildProcessResult result = runChildProcess(
        {program,
         {QStringLiteral("--ro-bind"), QStringLiteral("/"), QStringLiteral("/"),
          QStringLiteral("--dev"), QStringLiteral("/dev"), QStringLiteral("true")},
         QString(),
         10s},
        [](QByteArrayView) {}, [&errors](QByteArrayView chunk) { errors.append(chunk); });
    if (!result.startError.isEmpty()) {
        return {false, FileToolTexts::sandboxCannotRun(result.startError)};
    }
    if (result.timedOut || result.status != 0) {
        const QString said = firstLine(errors.text());
        return {false,
                FileToolTexts::sandboxCannotRun(
                    said.isEmpty() ? FileToolTexts::exitCode(result.status).trimmed() : said)};
    }
    return {true, {}};
}

Availability availability() {
    return installed().availability;
}

Layout currentLayout() {
    Layout layout;
    const QString home = QDir::cleanPath(QDir::homePath());
    if (home != QLatin1String("/") && QFileInfo(home).isDir()) {
        layout.home = home;
        for (const char* relative : hiddenInHome) {
            addIfPresent(layout, home + QLatin1Char('/') + QLatin1String(relative));
        }
    }
    addIfPresent(layout, settingsFolder(layout.home.isEmpty() ? home : layout.home));
    return layout;
}

QStringList bwrapOptions(const Layout& layout) {
    // The confined command keeps no capability, even when the app runs as root:
    // root could otherwise mount the file system writable again.
    QStringList options{QStringLiteral("--die-with-parent"),
                        QStringLiteral("--cap-drop"),
                        QStringLiteral("ALL"),
                        QStringLiteral("--ro-bind"),
                        QStringLiteral("/"),
                        QStringLiteral("/"),
                        QStringLiteral("--dev"),
                        QStringLiteral("/dev"),
                        QStringLiteral("--tmpfs"),
                        QStringLiteral("/tmp")};
    // After /tmp, so that a home folder below /tmp is not covered by it.
    if (!layout.home.isEmpty()) {
        options << QStringLiteral("--bind") << layout.home << layout.home;
    }
    for (const QString& folder : layout.hiddenFolders) {
        options << QStringLiteral("--tmpfs") << folder << QStringLiteral("--remount-ro") << folder;
    }
    // A file cannot hold a mount of its own; the null device reads as empty.
    for (const QString& file : layout.hiddenFiles) {
        options << QStringLiteral("--dev-bind") << QStringLiteral("/dev/null") << file;
    }
    return options;
}

PreparedCommand prepare(ChildProcessRequest request) {
    if (!isEnabled()) {
        return {std::move(request), false, {}, {}};
    }
    const Installed& bwrap = installed();
    return prepare(std::move(request), bwrap.program, bwrap.availability);
}

PreparedCommand prepare(ChildProcessRequest request, const QString& program,
                        const Availability& availability) {
    PreparedCommand prepared{std::move(request), false, {}, {}};
    if (!availability.available) {
        prepared.refusal = FileToolTexts::sandboxRefusal(availability.reason);
        return prepared;
    }
    prepared.layout = currentLayout();
    QStringList arguments = bwrapOptions(prepared.layout);
    arguments << prepared.request.program << prepared.request.arguments;
    prepared.request.program = program;
    prepared.request.arguments = arguments;
    prepared.confined = true;
    return prepared;
}

QString failureNote(const PreparedCommand& command, const QString& commandText, int status,
                    bool timedOut, const QString& standardError) {
    if (!command.confined || timedOut || status == 0) {
        return {};
    }
    const bool readOnly =
        standardError.contains(QLatin1String("read-only file system"), Qt::CaseInsensitive);
    if (readOnly || namesHiddenPlace(command.layout, commandText) ||
        namesHiddenPlace(command.layout, standardError)) {
        return FileToolTexts::sandboxBlocked();
    }
    return {};
}

} // namespace CommandSandbox
