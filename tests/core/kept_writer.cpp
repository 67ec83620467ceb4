// Writes messages into a kept-conversations file as fast as it can, saying
// "stored N" after each one is committed, until it is killed.

#include "core/conversation_database.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kept_writer FILE\n");
        return 2;
    }
    ConversationDatabase database(QStringLiteral("writer"));
    if (database.open(QString::fromLocal8Bit(argv[1])) != ConversationDatabase::State::writable) {
        std::fprintf(stderr, "%s\n", qPrintable(database.problem()));
        return 1;
    }
    const Conversation conversation = Conversation::make(QStringLiteral("Written until killed"));
    if (!database.storeHeader(conversation, false)) {
        return 1;
    }
    for (int stored = 1;; ++stored) {
        const auto size = QRandomGenerator::global()->bounded(10, 20000);
        const ChatMessage message = ChatMessage::make(Role::user, QString(size, QLatin1Char('w')));
        if (!database.storeMessage(conversation.id, message)) {
            std::fprintf(stderr, "%s\n", qPrintable(database.problem()));
            return 1;
        }
        std::printf("stored %d\n", stored);
        std::fflush(stdout);
    }
}
