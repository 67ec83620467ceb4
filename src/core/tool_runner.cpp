#include "core/tool_runner.h"

#include "tools/tool_executor.h"

#include <QThreadPool>
#include <QtConcurrent>

ToolRunner::ToolRunner(QObject* parent) : QObject(parent), m_pool(new QThreadPool) {
    // Enough threads that a stopped loop's slow tool does not hold up a new one.
    m_pool->setMaxThreadCount(4);
    m_pool->setExpiryTimeout(-1);
}

ToolRunner::~ToolRunner() {
    // Only the application's end destroys a runner while a tool still runs (a
    // command may take 30 s); quitting must not wait for it, so the busy pool is
    // left to the end of the process instead of being joined here.
    if (m_pool->activeThreadCount() == 0) {
        delete m_pool;
    }
}

QFuture<ToolOutcome> ToolRunner::run(const QString& name, const ToolArguments& args) {
    return QtConcurrent::run(m_pool, [name, args] { return ToolExecutor::dispatch(name, args); });
}
