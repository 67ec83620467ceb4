// emberglass-chat: the agent in a terminal, on the same controller, persona and
// settings as the desktop app. See chatUsage() for the command line.

#include "cli/chat_options.h"
#include "cli/chat_session.h"
#include "tools/readers/ocr_environment.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    ensureSingleThreadedOcr(argc, argv);
    // Tools that draw (PDF slides) need a GUI application; none is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    const ChatOptionsParse parse = parseChatOptions(app.arguments());
    if (parse.helpRequested) {
        std::fputs(qPrintable(chatUsage()), stdout);
        return 0;
    }
    if (!parse.options) {
        std::fprintf(stderr, "emberglass-chat: %s\n\n%s", qPrintable(parse.error),
                     qPrintable(chatUsage()));
        return 2;
    }

    ChatSession session(*parse.options);
    session.start();
    return app.exec();
}
