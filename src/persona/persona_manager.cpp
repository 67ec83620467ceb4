#include "persona/persona_manager.h"

#include "persona/agent_name.h"
#include "persona/persona_files.h"
#include "persona/persona_texts.h"
#include "persona/prompt_texts.h"
#include "persona/system_prompt.h"
#include "persona/text_files.h"
#include "storage/write_litter.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");

// The path with every link and "."/".." resolved; for a file not there yet,
// its folder's.
QString canonicalPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty()) {
        return canonical;
    }
    const QString folder = info.dir().canonicalPath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

PersonaManager::PersonaManager(QObject* parent)
    : PersonaManager(QDir::homePath() + QStringLiteral("/.nimbrook"), parent) {}

PersonaManager::PersonaManager(const QString& storageDirectory, QObject* parent)
    : QObject(parent), m_storageDirectory(QDir::cleanPath(storageDirectory)),
      m_soulURL(m_storageDirectory + QStringLiteral("/soul.md")),
      m_memoryURL(m_storageDirectory + QStringLiteral("/MEMORY.md")),
      m_memoryDirectory(m_storageDirectory + QStringLiteral("/memory")),
      m_clock([] { return QDateTime::currentDateTime(); }) {
    createPrivateFolders(m_storageDirectory, m_memoryDirectory);
    makePrivateOnce(m_storageDirectory, m_memoryDirectory);
    // Scratch files of a save that was killed.
    removeWriteLitter(m_storageDirectory);
    removeWriteLitter(m_memoryDirectory);
    const LoadedText soul = loadOrCreate(m_soulURL, PromptTexts::defaultSoul());
    m_soul = soul.text;
    m_soulFile = {m_soulURL, soul.text, soul.text, soul.lossy, false};
    const LoadedText memory = loadOrCreate(m_memoryURL, PromptTexts::defaultMemory());
    m_memory =
        migrateLegacyMemory(m_storageDirectory + QStringLiteral("/memory.md"), m_memoryURL, memory)
            .value_or(memory.text);
    m_memoryFile = {m_memoryURL, m_memory, m_memory, memory.lossy, false};
    loadMemoryFiles();
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &PersonaManager::reload);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &PersonaManager::reload);
    watchFiles();
}

void PersonaManager::watchFiles() {
    // A file replaced by a rename is no longer watched: watched again here.
    for (const QString& path : {m_storageDirectory, m_soulURL, m_memoryURL}) {
        if (!m_watcher.files().contains(path) && !m_watcher.directories().contains(path) &&
            QFileInfo::exists(path)) {
            m_watcher.addPath(path);
        }
    }
}

void PersonaManager::setSoul(const QString& soul) {
    if (soul != m_soul) {
        m_soul = soul;
        Q_EMIT soulChanged();
        Q_EMIT issuesChanged();
    }
}

void PersonaManager::setMemory(const QString& memory) {
    if (memory != m_memory) {
        m_memory = memory;
        Q_EMIT memoryChanged();
        Q_EMIT issuesChanged();
    }
}

void PersonaManager::setMemoryFiles(QList<MemoryFile> files) {
    // Every scan hands out new ids, so a rescan is always a change.
    if (files != m_memoryFiles) {
        m_memoryFiles = std::move(files);
        Q_EMIT memoryFilesChanged();
    }
}

QString PersonaManager::agentName() const {
    return agentNameFromSoul(m_soul);
}

void PersonaManager::reload() {
    follow(m_soulFile, m_soul, &PersonaManager::setSoul);
    follow(m_memoryFile, m_memory, &PersonaManager::setMemory);
    watchFiles();
    loadMemoryFiles();
}

void PersonaManager::follow(OwnFile& file, const QString& current,
                            void (PersonaManager::*set)(const QString&)) {
    const std::optional<DecodedText> read = readTextLeniently(file.path);
    if (!read || (read->text == file.diskText && read->lossy == file.lossy)) {
        return;
    }
    if (current == file.savedText) {
        file = {file.path, read->text, read->text, read->lossy, false};
        (this->*set)(read->text);
    } else {
        // The user's edits stay, and saving asks first; the prompt takes the file.
        file.diskText = read->text;
        file.lossy = read->lossy;
        file.changedOnDisk = true;
    }
    Q_EMIT issuesChanged();
}

PersonaManager::OwnFile* PersonaManager::ownFile(const QString& path) {
    return const_cast<OwnFile*>(std::as_const(*this).ownFile(path));
}

const PersonaManager::OwnFile* PersonaManager::ownFile(const QString& path) const {
    const QString canonical = canonicalPath(path);
    for (const OwnFile* file : {&m_soulFile, &m_memoryFile}) {
        if (canonical == canonicalPath(file->path)) {
            return file;
        }
    }
    return nullptr;
}

bool PersonaManager::isSoulOrMemory(const QString& path) const {
    return ownFile(path) != nullptr;
}

QStringList PersonaManager::issuesOf(const OwnFile& file, const QString& current) const {
    QStringList issues;
    if (file.lossy) {
        issues.append(QStringLiteral("notUtf8"));
    }
    if (exceedsPromptLimit(current.trimmed())) { // as the prompt takes it
        issues.append(QStringLiteral("tooLarge"));
    }
    if (file.changedOnDisk) {
        issues.append(QStringLiteral("changedOnDisk"));
    }
    return issues;
}

QStringList PersonaManager::soulIssues() const {
    return issuesOf(m_soulFile, m_soul);
}

QStringList PersonaManager::memoryIssues() const {
    return issuesOf(m_memoryFile, m_memory);
}

bool PersonaManager::isUnedited(const QString& path) const {
    const OwnFile* file = ownFile(path);
    return file == &m_soulFile ? m_soul == file->savedText
           : file != nullptr   ? m_memory == file->savedText
                               : false;
}

bool PersonaManager::saveNeedsConfirmation(const QString& path) const {
    const OwnFile* file = ownFile(path);
    if (file == nullptr) {
        return false;
    }
    // Read now: the watcher's news of a change may not have arrived yet.
    const std::optional<DecodedText> onDisk = readTextLeniently(file->path);
    return file->lossy || file->changedOnDisk ||
           (onDisk && (onDisk->lossy || onDisk->text != file->savedText));
}

void PersonaManager::loadMemoryFiles() {
    setMemoryFiles(m_scanner.scan(m_memoryDirectory));
}

QString PersonaManager::appendToDailyLog(const QString& text) {
    const QDateTime now = m_clock();
    const QString date = now.date().toString(dateFormat);
    const QString logPath = m_memoryDirectory + QLatin1Char('/') + date + QStringLiteral(".md");
    const QString entry = PromptTexts::dailyLogEntry(
        QLocale::system().toString(now.time(), QLocale::ShortFormat), text);
    // Creating never replaces a log that appeared meanwhile; it is appended to instead.
    WriteResult written = WriteResult::failure(EEXIST);
    if (!QFileInfo::exists(logPath)) {
        written = createTextFileIfAbsent(logPath, PromptTexts::dailyLogHeader(date) + entry);
    }
    if (written.errorNumber() == EEXIST) {
        written = appendTextOnOwnLine(logPath, entry);
    }
    loadMemoryFiles();
    return written.description();
}

QString PersonaManager::systemPrompt() const {
    const QDate today = m_clock().date();
    return assembleSystemPrompt(m_soulFile.diskText, m_memoryFile.diskText,
                                recentMemoriesBlock(m_memoryDirectory, today, 2),
                                memoryInstructionsFor(today));
}

QString PersonaManager::recentMemories(int days) const {
    return recentMemoriesBlock(m_memoryDirectory, m_clock().date(), days);
}

QString PersonaManager::memoryInstructions() const {
    return memoryInstructionsFor(m_clock().date());
}

QString PersonaManager::memoryInstructionsFor(const QDate& today) const {
    return PromptTexts::memoryInstructions(m_soulURL, m_memoryURL, m_memoryDirectory,
                                           today.toString(dateFormat));
}

bool PersonaManager::writeTextAtomically(const QString& path, const QString& text) {
    const bool written = noteWrite(::writeTextAtomically(path, text));
    if (OwnFile* file = ownFile(path); written && file != nullptr) {
        *file = {file->path, text, text, false, false};
        Q_EMIT issuesChanged();
    }
    return written;
}

bool PersonaManager::noteWrite(const WriteResult& result) {
    noteWriteError(result.description());
    return result.ok();
}

void PersonaManager::noteWriteError(const QString& error) {
    if (error != m_lastWriteError) {
        m_lastWriteError = error;
        Q_EMIT lastWriteErrorChanged();
    }
}

bool PersonaManager::saveMemoryFile(const QString& path, const QString& content) {
    // Matched by path: ids are new after every rescan.
    const auto entry = std::find_if(m_memoryFiles.begin(), m_memoryFiles.end(),
                                    [&path](const MemoryFile& file) { return file.url == path; });
    if (entry == m_memoryFiles.end()) {
        noteWrite(WriteResult::success());
        return false;
    }
    // A file that cannot be read, or is not UTF-8, is listed as empty: a save
    // would replace all of its text unseen.
    const std::optional<DecodedText> onDisk = readTextLeniently(path);
    const QString refusal = onDisk && onDisk->lossy               ? PersonaTexts::notUtf8OnDisk()
                            : !onDisk && QFileInfo(path).isFile() ? PersonaTexts::unreadableOnDisk()
                                                                  : QString();
    std::optional<WriteResult> written;
    if (refusal.isEmpty()) {
        written = ::writeTextAtomically(path, content);
    }
    const bool changed = entry->content != content;
    entry->content = content;
    if (changed) {
        Q_EMIT memoryFilesChanged();
    }
    if (!written) {
        noteWriteError(refusal);
        return false;
    }
    return noteWrite(*written);
}

void PersonaManager::setClock(Clock clock) {
    m_clock = std::move(clock);
}
