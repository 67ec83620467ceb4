// Runs the phone server on a free port with a scripted model behind it, for
// the browser test. Prints "URL <address>" once it listens. The reply depends
// on a word in the user's last message (a line "format on" or "format off" on
// stdin switches the page's formatting and is answered "FORMAT on"/"FORMAT off"):
//   "markup" markup that must show literally     "slow"  ten pieces, paused after the
//   "fail"   two pieces, then an error line                first until a line on stdin
//   "long"   one 300 000-character piece           "markdown" Markdown in four pieces
//   anything else: a short greeting in five pieces

#include "function_reply_source.h"
#include "scripted_stream.h"
#include "server/local_server.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QPointer>
#include <QSocketNotifier>

#include <unistd.h>

#include <cstdio>

using namespace std::chrono_literals;

namespace {

QString longReply() {
    // Multi-byte characters so that chunk borders also fall inside characters.
    QString text;
    while (text.size() < 300000) {
        text += QStringLiteral("ab€😀 line ") + QString::number(text.size()) + QLatin1Char('\n');
    }
    return text;
}

StreamScript scriptFor(const QString& question) {
    StreamScript script{{"Hello", " from", " the", " fake", " model."}, {}, 0ms, 30ms, {}};
    if (question.contains("markup")) {
        script.pieces = QStringList{"<b>not bold</b>", " & <img src=x onerror=alert(1)>"};
    } else if (question.contains("slow")) {
        script.pauseAfter = 1;
        script.pieces.clear();
        for (int i = 0; i < 10; ++i) {
            script.pieces.append(QStringLiteral("s%1 ").arg(i));
        }
    } else if (question.contains("fail")) {
        script.pieces = QStringList{"Partial ", "answer"};
        script.failure = QStringLiteral("Text generation failed");
    } else if (question.contains("markdown")) {
        // Cut inside emphasis and a fence: the page draws what has arrived.
        script.pieces =
            QStringList{"## Plan\n\n3. Open **the",
                        " file**\n4. Read it\n\n```sh\nls <dir> && echo \"<b>\"\n``",
                        "`\n\n| A | B |\n|---|---|\n| 1 | `x` |\n| 3 | 4 \\| 5 |\n\n",
                        "See [docs](https://example.org/a) and [keys](file:///etc/passwd). "
                        "<img src=x onerror=alert(1)> <script>window.__ran = 1</script>"};
    } else if (question.contains("long")) {
        script.pieces = QStringList{longReply()};
    }
    return script;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FunctionReplySource replies;
    QList<QPointer<TextPieceStream>> streams;
    replies.reply = [&streams](WireMessages messages) {
        TextPieceStream* stream =
            playScript(scriptFor(messages.last().toObject().value("content").toString()));
        streams.append(stream);
        return stream;
    };
    // Any input resumes the paused replies: the test says when it has seen what it waited for.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&streams, &input, &replies] {
        char buffer[256];
        const ssize_t length = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (length <= 0) {
            input.setEnabled(false); // the test closed its end
        }
        const QByteArray line(buffer, int(std::max<ssize_t>(length, 0)));
        if (line.startsWith("format ")) {
            replies.formatted = line.startsWith("format on");
            std::printf("FORMAT %s\n", replies.formatted ? "on" : "off");
            std::fflush(stdout);
            return;
        }
        for (const QPointer<TextPieceStream>& stream : std::as_const(streams)) {
            resumeScript(stream);
        }
    });
    LocalServer server(0);
    server.setReplySource(&replies);
    QObject::connect(&server, &LocalServer::statusChanged,
                     [](bool running, std::optional<QString> url) {
                         if (running) {
                             std::printf("URL %s\n", qPrintable(url.value_or(QString())));
                             std::fflush(stdout);
                         }
                     });
    server.start();
    if (!server.isListening()) {
        std::fprintf(stderr, "phone_page_host: the server could not listen\n");
        return 1;
    }
    return app.exec();
}
