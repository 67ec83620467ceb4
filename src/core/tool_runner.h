#pragma once

#include "tools/tool_types.h"

#include <QCoroTask>
#include <QObject>

class QThreadPool;
class RequestCancellation;

// Runs tools on worker threads so a long command or an OCR run never freezes
// the window. Its threads never expire, so per-thread engines (OCR) stay warm.
class ToolRunner : public QObject {
    Q_OBJECT

public:
    explicit ToolRunner(QObject* parent = nullptr);
    ~ToolRunner() override;

    // A cancellation (the user's Stop) ends the tool early where it can be ended.
    // Arguments by value: the coroutine outlives the caller's expression.
    QCoro::Task<ToolOutcome> run(QString name, ToolArguments args,
                                 RequestCancellation* cancellation = nullptr);

private:
    QThreadPool* m_pool;
};
