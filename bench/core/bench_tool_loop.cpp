// The controller's own cost for one pass of the agent loop on a long
// conversation: building the request messages and recording the answer.
// The model answers at once and no tool runs, so only the loop is measured.

#include "core/conversation_store.h"
#include "core/tool_approval.h"
#include "core/tool_loop.h"
#include "core/tool_runner.h"
#include "core/wire_message_builder.h"
#include "persona/persona_manager.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "bench_main.h"

#include <benchmark/benchmark.h>

namespace {

// A conversation of `size` messages: user turns, replies, and tool exchanges.
Conversation longConversation(int size) {
    Conversation conversation = Conversation::make(QStringLiteral("long"));
    const QString text =
        QStringLiteral("A typical message of a few dozen words, asking or answering something. ")
            .repeated(3);
    for (int i = 0; conversation.messages.size() < size; ++i) {
        conversation.messages.append(ChatMessage::make(Role::user, text));
        conversation.messages.append(ChatMessage::make(Role::assistant, usingToolsPlaceholder()));
        ChatMessage call = ChatMessage::make(Role::tool, QString());
        call.toolCall = ToolCallInfo{QStringLiteral("call_%1").arg(i),
                                     QStringLiteral("read_file"),
                                     {{QStringLiteral("path"), QStringLiteral("/tmp/notes.txt")}},
                                     QStringLiteral("{\"path\":\"/tmp/notes.txt\"}")};
        conversation.messages.append(call);
        ChatMessage result = ChatMessage::make(Role::tool, text);
        result.toolResult =
            ToolResultInfo{call.toolCall->callId, QStringLiteral("read_file"), true, text};
        conversation.messages.append(result);
        conversation.messages.append(ChatMessage::make(Role::assistant, text));
    }
    conversation.messages.resize(size);
    return conversation;
}

void BM_buildWireMessages(benchmark::State& state) {
    const Conversation conversation = longConversation(static_cast<int>(state.range(0)));
    const QString prompt = QStringLiteral("system prompt ").repeated(200);
    const WireMode mode = state.range(1) == 0 ? WireMode::native : WireMode::text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildWireMessages(conversation, prompt, mode));
    }
}
BENCHMARK(BM_buildWireMessages)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

// A model that answers at once with plain text.
class InstantService : public AIServiceProtocol {
public:
    QCoro::Task<Result<ModelReply>>
    sendChat(WireMessages messages, std::shared_ptr<RequestCancellation>, ReplyProgress) override {
        benchmark::DoNotOptimize(messages);
        co_return ModelReply{QStringLiteral("Done."), {}};
    }
    TextPieceStream* streamChat(WireMessages) override { return nullptr; }
    QCoro::Task<bool> checkAvailability() override { co_return true; }
};

void BM_toolLoopPass(benchmark::State& state) {
    QTemporaryDir personaDir;
    PersonaManager persona(personaDir.path());
    ConversationStore store;
    Conversation conversation = longConversation(static_cast<int>(state.range(0)));
    const QUuid id = conversation.id;
    store.insertAndSelect(std::move(conversation));
    ToolRunner tools;
    InstantService service;
    ToolApproval approval(&store, persona.storageDirectory(), [] { return ApprovalMode::act; });
    ToolLoop loop(&store, &persona, &tools, &approval, [&service] {
        return ToolLoop::Backend{&service, WireMode::native};
    });
    const QString prompt = persona.systemPrompt();
    for (auto _ : state) {
        // With an instant answer the whole pass runs inside this call.
        auto task = loop.runGeneration(id, prompt, std::make_shared<RequestCancellation>());
        benchmark::DoNotOptimize(task);
    }
    state.counters["messages_after"] = static_cast<double>(store.find(id)->messages.size());
}
BENCHMARK(BM_toolLoopPass)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksInApplication<QCoreApplication>(argc, argv);
}
