#include "core/tool_runner.h"

#include "models/request_cancellation.h"
#include "tools/tool_executor.h"
#include "tools/tool_stop.h"

#include <QCoroFuture>
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

QCoro::Task<ToolOutcome> ToolRunner::run(QString name, ToolArguments args,
                                         RequestCancellation* cancellation) {
    // Shared: a stopped loop forgets the call while the worker may still be in it.
    auto stop = std::make_shared<ToolStop>();
    QMetaObject::Connection connection;
    if (cancellation != nullptr) {
        if (cancellation->isCancelled()) {
            stop->request();
        }
        connection = connect(cancellation, &RequestCancellation::cancelled, this,
                             [stop] { stop->request(); });
    }
    // Awaited, not chained with QFuture::then: Qt 6.4 may run a continuation
    // twice when the worker finishes while it is being attached.
    QFuture<ToolOutcome> running = QtConcurrent::run(
        m_pool, [name, args, stop] { return ToolExecutor::dispatch(name, args, stop.get()); });
    ToolOutcome outcome = co_await running;
    QObject::disconnect(connection);
    co_return outcome;
}
