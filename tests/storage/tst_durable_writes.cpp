// The durable writer: what a replaced file keeps (owner, group, mode, extended
// attributes and ACLs, the other names of a hard link), a file in a folder the
// user cannot write, the folder sync that makes a rename last, and the litter a
// killed settings save leaves, cleared at the next start.
//
// The suite defines fsync() and fdatasync() itself, so every sync of the writers
// (and of Qt's own file writer) passes through here first: it is recorded, and
// a forked writer can be killed at any one of them.

#include "core/user_defaults.h"
#include "storage/durable_file.h"
#include "storage/write_litter.h"

#include "support/json_rows.h"
#include "support/test_files.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

struct SyncRecord {
    dev_t device;
    ino_t inode;
    bool isFolder;
    bool operator==(const SyncRecord&) const = default;
};

QList<SyncRecord> syncs;
int killAtSync = 0; // in a forked writer: dies at this sync, counting from 1

int passOn(const char* name, int descriptor) {
    using Sync = int (*)(int);
    struct stat info {};
    if (::fstat(descriptor, &info) == 0) {
        syncs.append({info.st_dev, info.st_ino, S_ISDIR(info.st_mode)});
    }
    if (killAtSync > 0 && syncs.size() == killAtSync) {
        ::raise(SIGKILL);
    }
    return reinterpret_cast<Sync>(::dlsym(RTLD_NEXT, name))(descriptor);
}

} // namespace

extern "C" int fsync(int descriptor) {
    return passOn("fsync", descriptor);
}
extern "C" int fdatasync(int descriptor) {
    return passOn("fdatasync", descriptor);
}

namespace {

struct stat statOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

QByteArray attribute(const QString& path, const char* name) {
    QByteArray value(256, '\0');
    const ssize_t size =
        ::getxattr(QFile::encodeName(path).constData(), name, value.data(), size_t(value.size()));
    return size < 0 ? QByteArray() : value.first(size);
}

// An access ACL that also lets user 1000 read: user::rw- user:1000:r-- group::r-- mask::r--
// other::---. The kernel's form: version 2, then each entry's tag, permissions and id
// (none: ~0), little-endian.
const QByteArray readableByUser1000 =
    QByteArray::fromHex("02000000 01000600ffffffff 02000400e8030000 04000400ffffffff "
                        "10000400ffffffff 20000000ffffffff");

// Runs `work` in a child process and answers its exit status, or -signal.
template <typename Work> int inChild(Work work) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(work());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

} // namespace

class DurableWritesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

    QString folder() const {
        const QString path =
            m_root.filePath(QString(QTest::currentTestFunction()) + QTest::currentDataTag());
        QDir().mkpath(path);
        return path;
    }

private Q_SLOTS:
    // What a replaced file keeps of the old one, each set up as a user or root would.
    void replacementKeepsTheFile_data() {
        QTest::addColumn<QString>("kept");
        // Extended attributes go with the ACL, which is one of them.
        for (const char* kept :
             {"mode", "owner and group", "ACL", "other hard link", "file behind a symbolic link"}) {
            QTest::newRow(kept) << QString(kept);
        }
    }
    void replacementKeepsTheFile() {
        QFETCH(QString, kept);
        const QString file = folder() + "/file.txt";
        const QString other = folder() + "/other-name.txt";
        QVERIFY(writeBytes(file, "old"));
        const QByteArray path = QFile::encodeName(file);
        QString written = file;
        if (kept == "mode") {
            QCOMPARE(::chmod(path, 0640), 0);
        } else if (kept == "owner and group") {
            if (::chown(path, 1000, 1000) != 0) {
                QSKIP("giving a file away needs root");
            }
        } else if (kept == "ACL") {
            const QByteArray& acl = readableByUser1000;
            if (::setxattr(path, "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
                QSKIP("no ACLs on this file system");
            }
        } else if (kept == "other hard link") {
            QCOMPARE(::link(path, QFile::encodeName(other)), 0);
        } else {
            QVERIFY(QFile::link(file, other));
            written = other;
        }
        const struct stat before = statOf(file);
        const QByteArray aclBefore = attribute(file, "system.posix_acl_access");

        QVERIFY(replaceFileDurably(written, "new text").ok());
        const struct stat after = statOf(file);
        QCOMPARE(readBytes(file), "new text");
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE((QList<uint>{after.st_uid, after.st_gid}),
                 (QList<uint>{before.st_uid, before.st_gid}));
        QCOMPARE(attribute(file, "system.posix_acl_access"), aclBefore);
        if (kept == "other hard link") {
            QCOMPARE(readBytes(other), "new text");
            QCOMPARE(after.st_ino, before.st_ino);
            QCOMPARE(after.st_nlink, nlink_t(2));
        }
        // No scratch file left: only the file and, where the row made one, its other name.
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(),
                 QFileInfo::exists(other) ? 2 : 1);
    }

    // `echo > file` works for a writable file in a folder the user cannot
    // write; so does a save, rewriting the file where it is.
    void aWritableFileInAFolderTheUserCannotWrite() {
        if (::geteuid() != 0) {
            QSKIP("needs root to act as another user");
        }
        const QString locked = folder() + "/locked";
        const QString file = locked + "/shared.txt";
        QVERIFY(writeBytes(file, "old and longer"));
        for (const QString& path : {m_root.path(), folder(), locked}) {
            QCOMPARE(::chmod(QFile::encodeName(path), 0755), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(file), 0666), 0);
        const ino_t inode = statOf(file).st_ino;
        const int error = inChild([&file] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                return 255;
            }
            return replaceFileDurably(file, "new").errorNumber();
        });
        QCOMPARE(error, 0);
        QCOMPARE(readBytes(file), "new");
        QCOMPARE(statOf(file).st_ino, inode);
        QCOMPARE(statOf(file).st_uid, uid_t(0));
    }

    // The rename is made to last: the folder is synced once the file holds its new name.
    void theFolderIsSyncedAfterTheRename_data() { addBoolRows("exists", "creating", "replacing"); }
    void theFolderIsSyncedAfterTheRename() {
        QFETCH(bool, exists);
        const QString file = folder() + "/synced.txt";
        if (exists) {
            QVERIFY(writeBytes(file, "old"));
        }
        syncs.clear();
        QVERIFY(exists ? replaceFileDurably(file, "new").ok()
                       : createFileDurably(file, "new").ok());
        const struct stat written = statOf(file);
        const struct stat parent = statOf(folder());
        // First the file's bytes (the scratch file that now carries the name), then the folder.
        QCOMPARE(syncs, (QList<SyncRecord>{{written.st_dev, written.st_ino, false},
                                           {parent.st_dev, parent.st_ino, true}}));
    }

    // kill -9 at every sync of a settings save: whatever it leaves is private,
    // and the next start removes it; the file holds the old or the new values.
    void aKilledSettingsSaveIsClearedAtTheNextStart() {
        const QString file = folder() + "/Emberglass.conf";
        UserDefaults(file).setValue("key", "sk-old");
        int killedAt = 0;
        for (int sync = 1;; ++sync) {
            const int status = inChild([&file, sync] {
                killAtSync = sync;
                syncs.clear();
                UserDefaults(file).setValue("key", "sk-new-" + QString::number(sync));
                return 0;
            });
            if (status == 0) {
                break; // the save got past its last sync
            }
            QCOMPARE(status, -SIGKILL);
            killedAt = sync;
            QDirIterator left(folder(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                              QDirIterator::Subdirectories);
            while (left.hasNext()) {
                const QString path = left.next();
                const mode_t mode = statOf(path).st_mode & 0777;
                if (left.fileInfo().isDir()) {
                    QCOMPARE(mode, mode_t(0700));
                } else if (readBytes(path).contains("sk-")) {
                    QVERIFY2(mode == 0600, qPrintable(path));
                }
            }
            const UserDefaults restarted(file);
            QCOMPARE(
                QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                QStringList{"Emberglass.conf"});
            const QString value = restarted.value("key").toString();
            QVERIFY2(value == "sk-old" || value == "sk-new-" + QString::number(sync),
                     qPrintable(value));
        }
        QVERIFY(killedAt >= 2); // the scratch copy, then the file beside the target
    }

    // Only what dead writers left is removed: not a running writer's scratch, not the user's files.
    void onlyTheLitterOfDeadWritersIsRemoved() {
        const QString live = QString::number(::getpid());
        const pid_t dead = inChild([] { return 0; }); // its pid is free now
        const QStringList kept{"notes.md", "notes.md~", "soul.md.~" + live + "-1a2b",
                               ".Emberglass-" + live + "-Ab12Cd", ".Other-AAAAAA"};
        const QStringList removed{"soul.md.~" + QString::number(dead) + "-ffee",
                                  "Emberglass.conf.~3f2a9c01", "Emberglass.conf.~read-0a",
                                  ".Emberglass-Xy12Zw",
                                  ".Emberglass-" + QString::number(dead) + "-Qq1234"};
        for (const QString& name : kept + removed) {
            // A leftover folder holds a scratch settings file.
            const QString inside = name.startsWith('.') ? "/settings.conf" : "";
            QVERIFY(writeBytes(folder() + '/' + name + inside, "sk-x"));
        }
        removeWriteLitter(folder(), "Emberglass");
        QStringList expected = kept;
        expected.sort();
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                          QDir::Name),
                 expected);
    }
};

QTEST_GUILESS_MAIN(DurableWritesTest)
#include "tst_durable_writes.moc"
