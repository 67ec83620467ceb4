#pragma once

#include "storage/write_result.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

// The application's settings file (~/.config/Emberglass/Emberglass.conf), in
// QSettings' format. It holds API keys, so it is kept readable and writable by
// the user only: made so when opened, and written so.
//
// Values are read when opened and before each change. Each change rewrites the whole file, on
// disk before it is reported done; a failed write leaves the file and the
// values as they were.
class UserDefaults {
public:
    static constexpr const char* cloudConfigsKey = "emberglass_cloud_configs";
    static constexpr const char* activeProviderKey = "emberglass_active_provider";
    static constexpr const char* onboardingKey = "hasCompletedOnboarding";

    UserDefaults();                                 // the application's own file
    explicit UserDefaults(const QString& filePath); // another file, for tools and tests

    QVariant value(const char* key) const;
    // Takes in what another instance of the app saved since (each change does
    // so first, so a save never takes back another instance's values).
    void refresh();
    bool contains(const char* key) const;
    // On failure, the system's reason ("No space left on device").
    WriteResult setValue(const char* key, const QVariant& value);

    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QVariantMap m_values;
};
