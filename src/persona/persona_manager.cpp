#include "persona/persona_manager.h"

#include "persona/agent_name.h"
#include "persona/persona_files.h"
#include "persona/prompt_texts.h"
#include "persona/system_prompt.h"
#include "persona/text_files.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");

void createDirectoryIfMissing(const QString& path) {
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(path);
    }
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
    createDirectoryIfMissing(m_storageDirectory);
    createDirectoryIfMissing(m_memoryDirectory);
    m_soul = loadOrCreate(m_soulURL, PromptTexts::defaultSoul()).text;
    const LoadedText memory = loadOrCreate(m_memoryURL, PromptTexts::defaultMemory());
    m_memory =
        migrateLegacyMemory(m_storageDirectory + QStringLiteral("/memory.md"), m_memoryURL, memory)
            .value_or(memory.text);
    loadMemoryFiles();
}

void PersonaManager::setSoul(const QString& soul) {
    if (soul != m_soul) {
        m_soul = soul;
        Q_EMIT soulChanged();
    }
}

void PersonaManager::setMemory(const QString& memory) {
    if (memory != m_memory) {
        m_memory = memory;
        Q_EMIT memoryChanged();
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
    if (const std::optional<QString> soul = readUtf8File(m_soulURL)) {
        setSoul(*soul);
    }
    if (const std::optional<QString> memory = readUtf8File(m_memoryURL)) {
        setMemory(*memory);
    }
    loadMemoryFiles();
}

void PersonaManager::loadMemoryFiles() {
    setMemoryFiles(m_scanner.scan(m_memoryDirectory));
}

void PersonaManager::appendToDailyLog(const QString& text) {
    const QDateTime now = m_clock();
    const QString date = now.date().toString(dateFormat);
    const QString logPath = m_memoryDirectory + QLatin1Char('/') + date + QStringLiteral(".md");
    const QString entry = PromptTexts::dailyLogEntry(
        QLocale::system().toString(now.time(), QLocale::ShortFormat), text);
    // Creating never replaces a log that appeared meanwhile; it is appended to instead.
    if (QFileInfo::exists(logPath) ||
        createTextFileIfAbsent(logPath, PromptTexts::dailyLogHeader(date) + entry) ==
            CreateOutcome::alreadyExists) {
        appendTextOnOwnLine(logPath, entry);
    }
    loadMemoryFiles();
}

QString PersonaManager::systemPrompt() const {
    const QDate today = m_clock().date();
    return assembleSystemPrompt(m_soul, m_memory, recentMemoriesBlock(m_memoryDirectory, today, 2),
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
    return noteWrite(::writeTextAtomically(path, text));
}

bool PersonaManager::noteWrite(const WriteResult& result) {
    const QString error = result.description();
    if (error != m_lastWriteError) {
        m_lastWriteError = error;
        Q_EMIT lastWriteErrorChanged();
    }
    return result.ok();
}

bool PersonaManager::saveMemoryFile(const QString& path, const QString& content) {
    // Matched by path: ids are new after every rescan.
    const auto entry = std::find_if(m_memoryFiles.begin(), m_memoryFiles.end(),
                                    [&path](const MemoryFile& file) { return file.url == path; });
    if (entry == m_memoryFiles.end()) {
        noteWrite(WriteResult::success());
        return false;
    }
    const WriteResult written = ::writeTextAtomically(path, content);
    const bool changed = entry->content != content;
    entry->content = content;
    if (changed) {
        Q_EMIT memoryFilesChanged();
    }
    return noteWrite(written);
}

void PersonaManager::setClock(Clock clock) {
    m_clock = std::move(clock);
}
