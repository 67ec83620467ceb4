// Request bodies for long conversations and the reading of long streamed answers.

#include "models/cloud_api_service.h"
#include "models/cloud_protocol.h"
#include "models/line_splitter.h"
#include "models/ollama_protocol.h"

#include "support/fake_http_server.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include "bench_main.h"

#include <benchmark/benchmark.h>

namespace {

// A conversation of `count` messages as the controller builds it: user turns,
// replies, tool-calling turns with their results.
WireMessages conversation(int count) {
    WireMessages messages{QJsonObject{{"role", "system"}, {"content", QString(4000, 's')}}};
    const QString text =
        QStringLiteral("Some sentence of an ordinary chat message, 你好. ").repeated(4);
    for (int i = 1; i < count; ++i) {
        switch (i % 4) {
        case 0:
            messages.append(QJsonObject{{"role", "user"}, {"content", text}});
            break;
        case 1:
            messages.append(
                QJsonObject{{"role", "assistant"},
                            {"content", QJsonValue()},
                            {"tool_calls",
                             QJsonArray{QJsonObject{
                                 {"id", QStringLiteral("call_%1").arg(i)},
                                 {"type", "function"},
                                 {"function", QJsonObject{{"name", "read_file"},
                                                          {"arguments", R"({"path":"~/a"})"}}}}}}});
            break;
        case 2:
            messages.append(QJsonObject{{"role", "tool"},
                                        {"tool_call_id", QStringLiteral("call_%1").arg(i - 1)},
                                        {"content", text}});
            break;
        default:
            messages.append(QJsonObject{{"role", "assistant"}, {"content", text}});
        }
    }
    return messages;
}

void BM_cloudBody1000Messages(benchmark::State& state) {
    const WireMessages messages = conversation(1000);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray body =
            cloudChatBody(QStringLiteral("grok-3-mini"), messages, false, ChatTools::catalogue);
        bytes += body.size();
        benchmark::DoNotOptimize(body.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_cloudBody1000Messages)->Unit(benchmark::kMillisecond);

void BM_ollamaBody1000Messages(benchmark::State& state) {
    const WireMessages messages = conversation(1000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ollamaChatBody(QStringLiteral("qwen2.5:3b"), messages, false));
    }
}
BENCHMARK(BM_ollamaBody1000Messages)->Unit(benchmark::kMillisecond);

QByteArray sseBody(int lines) {
    QByteArray body;
    for (int i = 0; i < lines; ++i) {
        body +=
            R"(data: {"id":"chatcmpl-1","object":"chat.completion.chunk","choices":[{"index":0,"delta":{"content":"word )" +
            QByteArray::number(i) +
            R"("},"finish_reason":null}]})"
            "\n";
    }
    return body + "data: [DONE]\n";
}

// Reads `body` as 4 KiB network reads would deliver it; `perLine` sees each line.
template <typename PerLine> void readInNetworkChunks(const QByteArray& body, PerLine perLine) {
    constexpr qsizetype readSize = 4096;
    LineSplitter splitter;
    for (qsizetype at = 0; at < body.size(); at += readSize) {
        const qsizetype size = std::min(readSize, body.size() - at);
        for (const QByteArray& line : splitter.feed(QByteArrayView(body).sliced(at, size))) {
            perLine(line);
        }
    }
}

// Each line read as a server-sent event.
void BM_read10000SseLines(benchmark::State& state) {
    const QByteArray body = sseBody(10000);
    for (auto _ : state) {
        qsizetype characters = 0;
        readInNetworkChunks(body, [&characters](const QByteArray& line) {
            characters += readCloudStreamLine(line).piece.size();
        });
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_read10000SseLines)->Unit(benchmark::kMillisecond);

// The line splitting alone.
void BM_split10000Lines(benchmark::State& state) {
    const QByteArray body = sseBody(10000);
    for (auto _ : state) {
        qsizetype lines = 0;
        readInNetworkChunks(body, [&lines](const QByteArray&) { ++lines; });
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(BM_split10000Lines)->Unit(benchmark::kMillisecond);

void BM_read10000OllamaLines(benchmark::State& state) {
    QByteArray body;
    for (int i = 0; i < 10000; ++i) {
        body +=
            R"({"model":"qwen2.5:3b","created_at":"2024-01-01T00:00:00Z","message":{"role":"assistant","content":"word "},"done":false})"
            "\n";
    }
    for (auto _ : state) {
        qsizetype characters = 0;
        readInNetworkChunks(body, [&characters](const QByteArray& line) {
            characters += readOllamaStreamLine(line).piece.size();
        });
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_read10000OllamaLines)->Unit(benchmark::kMillisecond);

// The whole path: HTTP on localhost, reader, stream signals.
void BM_stream10000EventsOverHttp(benchmark::State& state) {
    const QByteArray body = sseBody(10000);
    FakeOpenAIServer server;
    CloudAPIService service(server.baseUrl(), QStringLiteral("sk-bench"), QStringLiteral("m"));
    for (auto _ : state) {
        server.enqueue(FakeResponse::streamed(200, {body}, 0, "text/event-stream"));
        int pieces = 0;
        bool ended = false;
        TextPieceStream* stream = service.streamChat({});
        QObject::connect(stream, &TextPieceStream::piece, [&pieces] { ++pieces; });
        QObject::connect(stream, &TextPieceStream::finished, [&ended] { ended = true; });
        QObject::connect(stream, &TextPieceStream::failed, [&ended] { ended = true; });
        while (!ended) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (pieces != 10000) {
            state.SkipWithError("pieces lost");
        }
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_stream10000EventsOverHttp)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksInApplication<QCoreApplication>(argc, argv);
}
