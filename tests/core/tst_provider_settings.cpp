// The stored cloud settings: JSON form, the Grok fallbacks, saving, file privacy,
// and a full disk that must not cost the stored keys.

#include "core/provider_settings.h"
#include "support/full_disk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class ProviderSettingsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_fileCounter = 0;

    QString freshFile() {
        return m_dir.filePath(QStringLiteral("settings-%1.conf").arg(++m_fileCounter));
    }

    static void storeRaw(UserDefaults& defaults, const QByteArray& configs,
                         const QVariant& active = {}) {
        defaults.setValue(UserDefaults::cloudConfigsKey, configs);
        if (active.isValid()) {
            defaults.setValue(UserDefaults::activeProviderKey, active);
        }
    }

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void presetsInOrderWithTheirDefaults() {
        QCOMPARE(allCloudProviders().size(), 5);
        const QStringList names{QStringLiteral("Grok"), QStringLiteral("Doubao"),
                                QStringLiteral("ChatGPT"), QStringLiteral("Gemini"),
                                QStringLiteral("DeepSeek")};
        // Models the providers served on 2026-12-07 (see the table's sources).
        const QStringList models{
            QStringLiteral("grok-4.3"), QStringLiteral("doubao-seed-2-0-lite-260215"),
            QStringLiteral("gpt-6-luna"), QStringLiteral("gemini-flash-latest"),
            QStringLiteral("deepseek-flash")};
        for (int i = 0; i < 5; ++i) {
            const CloudProviderPreset provider = allCloudProviders()[i];
            QCOMPARE(toText(provider), names[i]);
            QCOMPARE(cloudProviderFromText(names[i]), provider);
            const CloudConfig config = defaultConfig(provider);
            QCOMPARE(config.model, models[i]);
            QVERIFY(config.apiKey.isEmpty());
            QVERIFY(config.baseURL.startsWith(QStringLiteral("https://")));
            QVERIFY(!config.baseURL.endsWith(QLatin1Char('/')));
        }
        QCOMPARE(defaultConfig(CloudProviderPreset::gemini).baseURL,
                 QStringLiteral("https://generativelanguage.googleapis.com/v1beta/openai"));
        QCOMPARE(defaultConfig(CloudProviderPreset::deepseek).baseURL,
                 QStringLiteral("https://api.deepseek.com/v1"));
        QVERIFY(
            !cloudProviderFromText(QStringLiteral("grok")).has_value()); // text values are exact
    }

    void jsonRoundTripAndRejections() {
        const CloudConfig config{CloudProviderPreset::deepseek, QStringLiteral("sk-1"),
                                 QStringLiteral("https://x/v1"), QStringLiteral("m")};
        const QJsonObject json = toJson(config);
        QCOMPARE(json.keys(), (QStringList{QStringLiteral("apiKey"), QStringLiteral("baseURL"),
                                           QStringLiteral("model"), QStringLiteral("provider")}));
        QCOMPARE(json[QStringLiteral("provider")].toString(), QStringLiteral("DeepSeek"));
        QCOMPARE(cloudConfigFromJson(json), config);

        QJsonObject missing = json;
        missing.remove(QStringLiteral("model"));
        QVERIFY(!cloudConfigFromJson(missing));
        QJsonObject number = json;
        number[QStringLiteral("apiKey")] = 42;
        QVERIFY(!cloudConfigFromJson(number));
        QJsonObject unknown = json;
        unknown[QStringLiteral("provider")] = QStringLiteral("Claude");
        QVERIFY(!cloudConfigFromJson(unknown));
    }

    void firstLaunchIsGrokAndWritesNothing() {
        const QString file = freshFile();
        UserDefaults defaults(file);
        QCOMPARE(ProviderSettings::loadActive(defaults), defaultConfig(CloudProviderPreset::grok));
        QCOMPARE(ProviderSettings::loadSavedConfigs(defaults).keys(),
                 QList{CloudProviderPreset::grok});
        QVERIFY(!QFile::exists(file));
    }

    void savingAProviderOnAFreshInstallStoresItBesideGrok() {
        UserDefaults defaults(freshFile());
        ProviderSettings::save(defaults, defaultConfig(CloudProviderPreset::deepseek));
        const QJsonArray stored =
            QJsonDocument::fromJson(defaults.value(UserDefaults::cloudConfigsKey).toByteArray())
                .array();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(defaults.value(UserDefaults::activeProviderKey).toString(),
                 QStringLiteral("DeepSeek"));
        QCOMPARE(ProviderSettings::loadActive(defaults),
                 defaultConfig(CloudProviderPreset::deepseek));

        // Read back by a second instance, as at the next launch.
        UserDefaults relaunched(defaults.fileName());
        const auto saved = ProviderSettings::loadSavedConfigs(relaunched);
        QCOMPARE(saved.keys(), (QList{CloudProviderPreset::grok, CloudProviderPreset::deepseek}));
    }

    void savedSettingsComeBackExactly() {
        UserDefaults defaults(freshFile());
        const CloudConfig gemini{CloudProviderPreset::gemini, QStringLiteral("key with spaces ✓"),
                                 QStringLiteral("https://proxy.example/v1beta/openai/"),
                                 QStringLiteral("gemini-x")};
        ProviderSettings::save(defaults, gemini);
        ProviderSettings::save(defaults, defaultConfig(CloudProviderPreset::chatgpt));
        QCOMPARE(ProviderSettings::loadSavedConfigs(defaults).value(CloudProviderPreset::gemini),
                 gemini);
        ProviderSettings::save(defaults, gemini);
        QCOMPARE(ProviderSettings::loadActive(UserDefaults(defaults.fileName())), gemini);
        // Entries only grow: ChatGPT stays stored after Gemini is saved again.
        QVERIFY(
            ProviderSettings::loadSavedConfigs(defaults).contains(CloudProviderPreset::chatgpt));
    }

    void undecodableDataFallsBackAndIsReplacedOnSave_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("not json") << QByteArray("{{{");
        QTest::newRow("object") << QByteArray(R"({"provider":"Grok"})");
        QTest::newRow("one bad element") << QByteArray(
            R"([{"provider":"Gemini","apiKey":"k","baseURL":"u","model":"m"},{"provider":"Nope","apiKey":"","baseURL":"","model":""}])");
        QTest::newRow("number value")
            << QByteArray(R"([{"provider":"Gemini","apiKey":1,"baseURL":"u","model":"m"}])");
    }
    void undecodableDataFallsBackAndIsReplacedOnSave() {
        QFETCH(QByteArray, stored);
        UserDefaults defaults(freshFile());
        storeRaw(defaults, stored, QStringLiteral("Gemini"));
        QCOMPARE(ProviderSettings::loadActive(defaults), defaultConfig(CloudProviderPreset::grok));
        QCOMPARE(ProviderSettings::loadSavedConfigs(defaults).keys(),
                 QList{CloudProviderPreset::grok});
        ProviderSettings::save(defaults, defaultConfig(CloudProviderPreset::doubao));
        QCOMPARE(ProviderSettings::loadSavedConfigs(defaults).keys(),
                 (QList{CloudProviderPreset::grok, CloudProviderPreset::doubao}));
    }

    void activeProviderRules() {
        UserDefaults defaults(freshFile());
        storeRaw(defaults, R"([{"provider":"Gemini","apiKey":"k","baseURL":"u","model":"m"}])");
        // No active provider stored.
        QCOMPARE(ProviderSettings::loadActive(defaults), defaultConfig(CloudProviderPreset::grok));
        // An active provider that names nothing.
        defaults.setValue(UserDefaults::activeProviderKey, QStringLiteral("gemini"));
        QCOMPARE(ProviderSettings::loadActive(defaults), defaultConfig(CloudProviderPreset::grok));
        // An active provider without an entry of its own loads Grok's default, not its own.
        defaults.setValue(UserDefaults::activeProviderKey, QStringLiteral("DeepSeek"));
        QCOMPARE(ProviderSettings::loadActive(defaults), defaultConfig(CloudProviderPreset::grok));
        defaults.setValue(UserDefaults::activeProviderKey, QStringLiteral("Gemini"));
        QCOMPARE(ProviderSettings::loadActive(defaults).apiKey, QStringLiteral("k"));
    }

    void laterDuplicateWins() {
        UserDefaults defaults(freshFile());
        storeRaw(
            defaults,
            R"([{"provider":"Grok","apiKey":"old","baseURL":"u","model":"m"},{"provider":"Grok","apiKey":"new","baseURL":"u","model":"m"}])",
            QStringLiteral("Grok"));
        QCOMPARE(
            ProviderSettings::loadSavedConfigs(defaults).value(CloudProviderPreset::grok).apiKey,
            QStringLiteral("new"));
        // Loading at start takes the first match.
        QCOMPARE(ProviderSettings::loadActive(defaults).apiKey, QStringLiteral("old"));
    }

    void settingsFileIsPrivate() {
        const QString file = freshFile();
        UserDefaults defaults(file);
        ProviderSettings::save(
            defaults, CloudConfig{CloudProviderPreset::grok, QStringLiteral("secret"), {}, {}});
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        // Still private after further writes.
        defaults.setValue(UserDefaults::onboardingKey, true);
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
    }

    void aFileLeftReadableIsMadePrivateWhenOpened() {
        const QString file = freshFile();
        QFile loose(file);
        QVERIFY(loose.open(QIODevice::WriteOnly));
        loose.write("[General]\nemberglass_active_provider=Gemini\n");
        loose.close();
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0644) == 0);
        const UserDefaults defaults(file);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(defaults.value(UserDefaults::activeProviderKey).toString(),
                 QStringLiteral("Gemini"));
    }

    void aFullDiskKeepsTheStoredSettings_data() {
        QTest::addColumn<DiskFault>("fault");
        QTest::addColumn<qint64>("room");
        QTest::newRow("no room") << DiskFault::sizeLimit << qint64(0);
        // QSettings itself reports success here, for a file cut off at 8 KiB.
        QTest::newRow("8 KiB room") << DiskFault::sizeLimit << qint64(8192);
        QTest::newRow("full tmpfs") << DiskFault::fullTmpfs << qint64(0);
    }
    void aFullDiskKeepsTheStoredSettings() {
        QFETCH(DiskFault, fault);
        QFETCH(qint64, room);
        const QString folder = m_dir.filePath(QStringLiteral("full-") + QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        FullDisk disk(fault, folder);
        if (!disk.isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        const QString file = folder + QStringLiteral("/Emberglass.conf");
        UserDefaults defaults(file);
        const CloudConfig saved{CloudProviderPreset::deepseek, QStringLiteral("sk-kept"), {}, {}};
        ProviderSettings::save(defaults, saved);
        const QByteArray before = readAll(file);
        const auto entries = [&folder] {
            return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        QCOMPARE(entries(), QStringList{QStringLiteral("Emberglass.conf")}); // no scratch left

        disk.engage(room);
        // Bigger than any room left; the active provider must not change without it.
        const WriteResult result = ProviderSettings::save(
            defaults, {CloudProviderPreset::gemini, QString(20000, QLatin1Char('k')), {}, {}});
        disk.release();

        QVERIFY(!result.ok());
        if (fault == DiskFault::fullTmpfs) {
            QCOMPARE(result.description(), QStringLiteral("No space left on device"));
        }
        QCOMPARE(readAll(file), before);
        QCOMPARE(entries(), QStringList{QStringLiteral("Emberglass.conf")});
        QCOMPARE(ProviderSettings::loadActive(defaults), saved);
        QCOMPARE(ProviderSettings::loadActive(UserDefaults(file)), saved);
    }

    void applicationFileLivesInTheConfigHome() {
        // CTest points XDG_CONFIG_HOME at a sandbox, so this never touches real settings.
        UserDefaults defaults;
        QVERIFY(defaults.fileName().endsWith(QStringLiteral("/Emberglass/Emberglass.conf")));
        QVERIFY(defaults.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    }
};

QTEST_GUILESS_MAIN(ProviderSettingsTest)
#include "tst_provider_settings.moc"
