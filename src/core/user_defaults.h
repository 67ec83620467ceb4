#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

// The application's settings file (~/.config/Emberglass/Emberglass.conf). It holds
// API keys, so it is created readable and writable by the user only.
class UserDefaults {
public:
    static constexpr const char* cloudConfigsKey = "emberglass_cloud_configs";
    static constexpr const char* activeProviderKey = "emberglass_active_provider";
    static constexpr const char* onboardingKey = "hasCompletedOnboarding";

    UserDefaults();                                 // the application's own file
    explicit UserDefaults(const QString& filePath); // another file, for tools and tests

    QVariant value(const char* key) const;
    bool contains(const char* key) const;
    void setValue(const char* key, const QVariant& value);

    QString fileName() const;

private:
    void restrictPermissions();

    std::unique_ptr<QSettings> m_settings;
};
