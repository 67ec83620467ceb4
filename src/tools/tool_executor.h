#pragma once

#include "tools/tool_types.h"

#include <QObject>

class ToolStop;

// Runs one tool by its exact (case-sensitive) name. Holds no state, so one
// instance may serve several worker threads at once; execute() blocks its
// calling thread until the tool is done and never fails to its caller. A
// requested stop ends the tools that can be ended (commands and the PDF
// reader) early.
class ToolExecutor : public QObject {
    Q_OBJECT

public:
    explicit ToolExecutor(QObject* parent = nullptr);

    ToolOutcome execute(const QString& name, const ToolArguments& args,
                        const ToolStop* stop = nullptr) const {
        return dispatch(name, args, stop);
    }

    // The same without an instance, for worker threads that may outlive one.
    static ToolOutcome dispatch(const QString& name, const ToolArguments& args,
                                const ToolStop* stop = nullptr);
};
