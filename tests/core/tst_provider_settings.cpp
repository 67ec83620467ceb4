// The stored cloud settings: JSON form, the Grok fallbacks, damaged data,
// file privacy, and a full disk that must not cost the stored keys.

#include "core/provider_settings.h"
#include "support/full_disk.h"
#include "support/json_rows.h"
#include "support/scoped_environment.h"
#include "support/settings_files.h"
#include "support/test_files.h"

#include <QtTest>

namespace {

const CloudConfig grok = defaultConfig(CloudProviderPreset::grok);

const QFile::Permissions onlyMine =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

} // namespace

class ProviderSettingsTest : public QObject {
    Q_OBJECT

    SettingsFiles m_settings;

private Q_SLOTS:
    // The stored form (member names, exact texts, damaged entries) is read by
    // damagedDataFallsBackToGrok from tests/data/core/settings.json.
    void savedSettingsComeBackExactlyBesideGrok() {
        const QString file = m_settings.fresh();
        UserDefaults defaults(file);
        UserDefaults otherInstance(file); // a second window of the app, open all along
        QCOMPARE(ProviderSettings::loadActive(defaults), grok); // first launch
        QCOMPARE(ProviderSettings::loadSavedConfigs(defaults).keys(),
                 QList{CloudProviderPreset::grok});
        QVERIFY(!QFile::exists(file)); // and nothing written
        const CloudConfig gemini{CloudProviderPreset::gemini, "key with spaces ✓",
                                 "https://proxy.example/v1beta/openai/", "gemini-x"};
        ProviderSettings::save(defaults, gemini);
        ProviderSettings::save(defaults, defaultConfig(CloudProviderPreset::chatgpt));
        ProviderSettings::save(defaults, gemini);
        // Saves of either instance keep what the other saved.
        ProviderSettings::save(otherInstance, defaultConfig(CloudProviderPreset::deepseek));
        QVERIFY(defaults.setValue(UserDefaults::activeProviderKey, toText(gemini.provider)).ok());
        // Read back as at the next launch; entries only grow.
        const UserDefaults relaunched(file);
        QCOMPARE(ProviderSettings::loadActive(relaunched), gemini);
        QCOMPARE(ProviderSettings::loadSavedConfigs(relaunched).keys(),
                 (QList{CloudProviderPreset::grok, CloudProviderPreset::chatgpt,
                        CloudProviderPreset::gemini, CloudProviderPreset::deepseek}));
    }

    void damagedDataFallsBackToGrok_data() { addJsonRows("core/settings.json", "damaged"); }
    void damagedDataFallsBackToGrok() {
        QFETCH(QJsonObject, row);
        const QByteArray stored = row["stored"].toString().toUtf8();
        const QString activeKey = row["activeKey"].toString(); // empty: Grok's default is loaded
        UserDefaults defaults(m_settings.fresh());
        defaults.setValue(UserDefaults::cloudConfigsKey, stored);
        defaults.setValue(UserDefaults::activeProviderKey, row["active"].toString());
        const CloudConfig loaded = ProviderSettings::loadActive(defaults);
        QCOMPARE(loaded, activeKey.isEmpty() ? grok : loaded);
        QCOMPARE(loaded.apiKey, activeKey);
        const auto saved = ProviderSettings::loadSavedConfigs(defaults);
        if (!saved.contains(CloudProviderPreset::gemini)) { // unreadable: replaced on save
            ProviderSettings::save(defaults, defaultConfig(CloudProviderPreset::doubao));
            QCOMPARE(ProviderSettings::loadSavedConfigs(defaults).keys(),
                     (QList{CloudProviderPreset::grok, CloudProviderPreset::doubao}));
        } else if (stored.contains("new")) {
            QCOMPARE(saved.value(CloudProviderPreset::gemini).apiKey, QStringLiteral("new"));
        }
    }

    void theSettingsFileIsPrivate() {
        const QString file = m_settings.fresh();
        // Left readable by an older version.
        QVERIFY(writeBytes(file, "[General]\nemberglass_active_provider=Gemini\n"));
        QVERIFY(QFile::setPermissions(file, onlyMine | QFile::ReadGroup | QFile::ReadOther));
        UserDefaults defaults(file);
        QCOMPARE(QFile::permissions(file), onlyMine); // made private when opened
        QCOMPARE(defaults.value(UserDefaults::activeProviderKey).toString(), "Gemini");
        ProviderSettings::save(defaults, CloudConfig{CloudProviderPreset::grok, "secret", {}, {}});
        defaults.setValue(UserDefaults::onboardingKey, true);
        QCOMPARE(QFile::permissions(file), onlyMine); // and after further writes
        // The application's own file lives in the config home.
        const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(m_settings.folder()));
        QCOMPARE(UserDefaults().fileName(), m_settings.folder() + "/Emberglass/Emberglass.conf");
    }

    // Room for 8 KiB only: QSettings itself reports success for a file cut off
    // there. (A disk with no room at all: tst_persona_store and tst_tool_dispatch.)
    void aFullDiskKeepsTheStoredSettings() {
        const QString folder = m_settings.filePath("full");
        QVERIFY(QDir().mkpath(folder));
        FullDisk disk(DiskFault::sizeLimit, folder);
        const QString file = folder + QStringLiteral("/Emberglass.conf");
        UserDefaults defaults(file);
        const CloudConfig saved{CloudProviderPreset::deepseek, "sk-kept", {}, {}};
        ProviderSettings::save(defaults, saved);
        const QByteArray before = readBytes(file);
        disk.engage(8192);
        // Bigger than the room left; the active provider must not change without it.
        const WriteResult result = ProviderSettings::save(
            defaults, {CloudProviderPreset::gemini, QString(20000, QLatin1Char('k')), {}, {}});
        disk.release();
        QVERIFY(!result.ok());
        QCOMPARE(readBytes(file), before);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Emberglass.conf"}); // no scratch left
        QCOMPARE(ProviderSettings::loadActive(defaults), saved);
        QCOMPARE(ProviderSettings::loadActive(UserDefaults(file)), saved);
    }
};

QTEST_GUILESS_MAIN(ProviderSettingsTest)
#include "tst_provider_settings.moc"
