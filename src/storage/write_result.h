#pragma once

#include <QString>

// What a checked write reports: success, or the errno value behind its failure.
class WriteResult {
public:
    static WriteResult success() { return WriteResult(0); }
    static WriteResult failure(int errorNumber) { return WriteResult(errorNumber); }

    bool ok() const { return m_errorNumber == 0; }
    int errorNumber() const { return m_errorNumber; }
    // The system's reason ("No space left on device"); empty on success.
    QString description() const;

private:
    explicit WriteResult(int errorNumber) : m_errorNumber(errorNumber) {}

    int m_errorNumber;
};
