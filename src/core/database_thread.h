#pragma once

#include "core/conversation_database.h"

#include <QFuture>
#include <QPromise>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The kept-conversations file on a thread of its own. SQLite blocks while it
// writes and syncs, and Qt SQL has no asynchronous interface, so the window's
// thread only queues work here (microseconds) and awaits the answers of reads
// as futures in its coroutines. Work runs in the order it was queued, on one
// connection; a queued write with the same key as a newer one is replaced by
// it (a reply streaming in piece by piece is written as fast as the disk
// allows, not once per piece). Destroying it finishes everything queued.
class DatabaseThread {
public:
    using Work = std::function<void(ConversationDatabase&)>;

    explicit DatabaseThread(QString connectionName);
    ~DatabaseThread();
    DatabaseThread(const DatabaseThread&) = delete;
    DatabaseThread& operator=(const DatabaseThread&) = delete;

    void write(Work work, QString key = {});

    template <class T> QFuture<T> read(std::function<T(ConversationDatabase&)> work) {
        auto promise = std::make_shared<QPromise<T>>();
        QFuture<T> future = promise->future();
        promise->start();
        write([promise, work = std::move(work)](ConversationDatabase& database) {
            promise->addResult(work(database));
            promise->finish();
        });
        return future;
    }

    // Waits until everything queued so far has run (tests, benchmarks, quitting).
    void drain();

private:
    struct Job {
        QString key;
        Work work;
    };

    void loop(QString connectionName);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
