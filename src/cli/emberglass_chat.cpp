// emberglass-chat: the agent in a terminal, on the same controller, persona and
// settings as the desktop app. See chatUsage() for the command line.

#include "cli/chat_options.h"
#include "cli/chat_session.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

QStringList commandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// A chat may run create_pdf_slides, which draws text and so needs a GUI
// application (offscreen: none is shown). The phone server runs no tools and
// starts as a plain Qt Core program.
std::unique_ptr<QCoreApplication> createApplication(const ChatOptions& options, int& argc,
                                                    char** argv) {
    if (options.serve) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv) {
    // Help and mistakes are answered before any application object exists.
    const ChatOptionsParse parse = parseChatOptions(commandLine(argc, argv));
    if (parse.helpRequested) {
        std::fputs(qPrintable(chatUsage()), stdout);
        return 0;
    }
    if (parse.versionRequested) {
        std::fputs(qPrintable(chatVersion()), stdout);
        return 0;
    }
    if (!parse.options) {
        std::fprintf(stderr, "emberglass-chat: %s\n\n%s", qPrintable(parse.error),
                     qPrintable(chatUsage()));
        return 2;
    }

    const std::unique_ptr<QCoreApplication> app = createApplication(*parse.options, argc, argv);
    ChatSession session(*parse.options);
    // Started from the running loop: a run refused before anything is awaited
    // ends inside start(), and an exit asked for before exec() would be lost.
    QMetaObject::invokeMethod(&session, &ChatSession::start, Qt::QueuedConnection);
    return app->exec();
}
