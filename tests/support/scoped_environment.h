#pragma once

// One environment variable set for a scope, and put back as it was (or unset)
// when the scope ends, even when a check returns early.

#include <QByteArray>
#include <QtGlobal>

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_before(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (m_wasSet) {
            qputenv(m_name, m_before);
        } else {
            qunsetenv(m_name);
        }
    }
    Q_DISABLE_COPY_MOVE(ScopedEnvironment)

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_before;
};
