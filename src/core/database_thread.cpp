#include "core/database_thread.h"

DatabaseThread::DatabaseThread(QString connectionName)
    : m_thread([this, name = std::move(connectionName)] { loop(name); }) {}

DatabaseThread::~DatabaseThread() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void DatabaseThread::write(Work work, QString key) {
    {
        std::lock_guard lock(m_mutex);
        // Only the newest write of a key matters; it takes the older one's turn.
        if (!key.isEmpty()) {
            for (Job& queued : m_jobs) {
                if (queued.key == key) {
                    queued.work = std::move(work);
                    return;
                }
            }
        }
        m_jobs.push_back({std::move(key), std::move(work)});
    }
    m_wake.notify_one();
}

void DatabaseThread::drain() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void DatabaseThread::loop(QString connectionName) {
    // The connection is made, used and closed on this thread only, as Qt SQL requires.
    ConversationDatabase database(std::move(connectionName));
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
        if (m_jobs.empty()) {
            break; // stopping, with nothing left to do
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        job.work(database);
        lock.lock();
        m_busy = false;
        if (m_jobs.empty()) {
            m_idle.notify_all();
        }
    }
}
