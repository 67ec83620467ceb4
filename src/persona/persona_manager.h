#pragma once

#include "persona/memory_file.h"
#include "persona/memory_file_scanner.h"
#include "storage/write_result.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The agent's persona and memory on disk (~/.nimbrook, readable by the user
// only): the soul, the long-term memory, the memory directory's Markdown files,
// and the system prompt built from them. File-system problems are silent
// (defaults are used or old values kept), except for the editors' saves and the
// memory tags' appends, which say why they failed.
//
// soul.md and MEMORY.md are watched: a change on disk replaces `soul` or
// `memory` unless the user is editing it (then the file is marked changed and
// a save asks first). A file that is not valid UTF-8 is read leniently and
// marked, and a save over it asks first too. The system prompt is built from
// the files as they are on disk (last read or saved), never from unsaved edits:
// what the agent writes reaches it at once, even while the user edits.
class PersonaManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString soul READ soul WRITE setSoul NOTIFY soulChanged)
    Q_PROPERTY(QString memory READ memory WRITE setMemory NOTIFY memoryChanged)
    Q_PROPERTY(QList<MemoryFile> memoryFiles READ memoryFiles NOTIFY memoryFilesChanged)
    Q_PROPERTY(QString storageDirectory READ storageDirectory CONSTANT)
    Q_PROPERTY(QString soulURL READ soulURL CONSTANT)
    Q_PROPERTY(QString memoryURL READ memoryURL CONSTANT)
    Q_PROPERTY(QString memoryDirectory READ memoryDirectory CONSTANT)
    Q_PROPERTY(QString agentName READ agentName NOTIFY soulChanged)
    Q_PROPERTY(QString lastWriteError READ lastWriteError NOTIFY lastWriteErrorChanged)
    // What the persona panel warns of, for each file: "notUtf8", "tooLarge" (cut
    // in the prompt), "changedOnDisk" (while being edited).
    Q_PROPERTY(QStringList soulIssues READ soulIssues NOTIFY issuesChanged)
    Q_PROPERTY(QStringList memoryIssues READ memoryIssues NOTIFY issuesChanged)

public:
    // Supplies "now" for file-name dates and entry times.
    using Clock = std::function<QDateTime()>;

    // Uses ~/.nimbrook.
    explicit PersonaManager(QObject* parent = nullptr);
    // Uses the given directory in place of ~/.nimbrook.
    explicit PersonaManager(const QString& storageDirectory, QObject* parent = nullptr);

    QString soul() const { return m_soul; }
    void setSoul(const QString& soul);
    QString memory() const { return m_memory; }
    void setMemory(const QString& memory);
    QList<MemoryFile> memoryFiles() const { return m_memoryFiles; }

    QString storageDirectory() const { return m_storageDirectory; }
    QString soulURL() const { return m_soulURL; }
    QString memoryURL() const { return m_memoryURL; }
    QString memoryDirectory() const { return m_memoryDirectory; }

    QString agentName() const;

    // Re-reads soul.md and MEMORY.md (keeping the old value of one that cannot be
    // read, or that the user is editing), then rescans the memory directory.
    Q_INVOKABLE void reload();
    Q_INVOKABLE void loadMemoryFiles();
    // Adds "- [time] text" to today's daily log, creating it with its header.
    // Answers why it could not ("No space left on device"), or nothing.
    Q_INVOKABLE QString appendToDailyLog(const QString& text);

    // Whether a write to `path` writes the soul or the memory, by whatever
    // spelling ("a/./b", "a//b", a symbolic link): compared as canonical paths.
    bool isSoulOrMemory(const QString& path) const;
    QStringList soulIssues() const;
    QStringList memoryIssues() const;
    // True when saving the editor's text over `path` (soul.md or MEMORY.md)
    // would replace what the user has not seen: bytes that are not UTF-8, or a
    // newer version on disk. The panel asks before it saves.
    Q_INVOKABLE bool saveNeedsConfirmation(const QString& path) const;
    // True when `soul` (for soul.md) or `memory` (for MEMORY.md) is what the
    // file held when last read or saved: the editor has nothing unsaved.
    Q_INVOKABLE bool isUnedited(const QString& path) const;

    Q_INVOKABLE QString systemPrompt() const;
    Q_INVOKABLE QString recentMemories(int days) const;
    Q_INVOKABLE QString memoryInstructions() const;

    // For the editors that save the soul, the memory or a memory file: true once
    // the text is on disk. Each call sets lastWriteError.
    Q_INVOKABLE bool writeTextAtomically(const QString& path, const QString& text);
    // Saves an open memory file: the listed entry with this path gets the text, on
    // disk and in memoryFiles (its date stays until the next scan; the entry keeps
    // the text even when the write fails, so it is not lost). Does nothing, and
    // returns false, when no listed file has the path.
    Q_INVOKABLE bool saveMemoryFile(const QString& path, const QString& content);
    // Why the last of those two calls did not write, in the system's words ("No
    // space left on device"); empty when it wrote, or had nothing to write.
    QString lastWriteError() const { return m_lastWriteError; }

    void setClock(Clock clock);

Q_SIGNALS:
    void soulChanged();
    void memoryChanged();
    void memoryFilesChanged();
    void lastWriteErrorChanged();
    void issuesChanged();

private:
    // soul.md or MEMORY.md: what the editor's text is based on, and what is on
    // disk as last read or saved (the prompt's text). The two differ only while
    // the user edits over a change on disk.
    struct OwnFile {
        QString path;
        QString savedText;
        QString diskText;
        bool lossy = false;
        bool changedOnDisk = false;
    };
    void follow(OwnFile& file, const QString& current, void (PersonaManager::*set)(const QString&));
    OwnFile* ownFile(const QString& path);
    const OwnFile* ownFile(const QString& path) const;
    QStringList issuesOf(const OwnFile& file, const QString& current) const;
    void watchFiles();
    void setMemoryFiles(QList<MemoryFile> files);
    QString memoryInstructionsFor(const QDate& today) const;
    bool noteWrite(const WriteResult& result);
    void noteWriteError(const QString& error);

    QString m_soul;
    QString m_memory;
    QList<MemoryFile> m_memoryFiles;
    QString m_lastWriteError;
    const QString m_storageDirectory;
    const QString m_soulURL;
    const QString m_memoryURL;
    const QString m_memoryDirectory;
    Clock m_clock;
    MemoryFileScanner m_scanner;
    OwnFile m_soulFile;
    OwnFile m_memoryFile;
    QFileSystemWatcher m_watcher;
};
