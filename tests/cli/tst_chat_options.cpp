// emberglass-chat's command line: both forms of a value, the options around a
// message, and the error texts users and scripts know.

#include "cli/chat_options.h"
#include "support/json_rows.h"

#include <QtTest>

namespace {

QJsonObject asJson(const ChatOptions& options) {
    return {{"local", options.local},
            {"json", options.json},
            {"serve", options.serve},
            {"listModels", options.listModels},
            {"sandbox", options.sandbox},
            {"yes", options.yes},
            {"port", options.port},
            {"provider", options.provider},
            {"model", options.model},
            {"baseURL", options.baseURL},
            {"apiKeyFile", options.apiKeyFile},
            {"ollamaUrl", options.ollamaUrl},
            {"message", options.message}};
}

} // namespace

class ChatOptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each row: the arguments, and either the options it sets (the others keep
    // their defaults), the error, or "help"/"version".
    void parses_data() { addJsonRows("cli/options.json", "chat"); }
    void parses() {
        QFETCH(QJsonObject, row);
        const ChatOptionsParse parse =
            parseChatOptions(QStringList{"emberglass-chat"} + jsonTexts(row["arguments"]));
        QCOMPARE(parse.error, row["error"].toString());
        QCOMPARE(parse.helpRequested, row["asks"] == "help");
        QCOMPARE(parse.versionRequested, row["asks"] == "version");
        QCOMPARE(parse.options.has_value(), row.contains("sets"));
        if (!parse.options) {
            return;
        }
        QJsonObject expected = asJson(ChatOptions{});
        const QJsonObject sets = row["sets"].toObject();
        for (auto it = sets.begin(); it != sets.end(); ++it) {
            expected.insert(it.key(), it.value());
        }
        QCOMPARE(asJson(*parse.options), expected);
    }
};

QTEST_GUILESS_MAIN(ChatOptionsTest)
#include "tst_chat_options.moc"
