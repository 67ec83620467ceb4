#pragma once

// A new settings file for each launch a test simulates, in one temporary folder.

#include <QString>
#include <QTemporaryDir>

class SettingsFiles {
public:
    QString fresh() { return m_dir.filePath(QStringLiteral("settings-%1.conf").arg(++m_count)); }
    // The same temporary folder, for a test's other files.
    QString folder() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};
