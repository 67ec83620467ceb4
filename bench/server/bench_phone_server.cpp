// The phone server over loopback: page requests per second, and how long a
// reply piece takes from the model client to the phone's socket reader.
// The server runs on its own thread with its own event loop; the benchmark
// thread is the phone, with plain blocking sockets.

#include "server/function_reply_source.h"
#include "server/local_server.h"

#include <QCoreApplication>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<qint64> g_pieceSentAt{0}; // steady-clock nanoseconds, written by the server thread

qint64 nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// One LocalServer on a thread of its own, for the whole run.
class ServerThread {
public:
    ServerThread() {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                m_server = new LocalServer(0);
                QObject::connect(m_server, &LocalServer::statusChanged,
                                 [this](bool, std::optional<QString> url) {
                                     if (url) {
                                         m_url = QUrl(*url);
                                     }
                                 });
                m_replies.reply = [this](WireMessages) {
                    auto* stream = new TextPieceStream;
                    m_stream.store(stream);
                    return stream;
                };
                m_server->setReplySource(&m_replies);
                m_server->start();
            },
            Qt::BlockingQueuedConnection);
        port = quint16(m_url.port());
        key = QUrlQuery(m_url).queryItemValue(QStringLiteral("key")).toStdString();
    }
    ~ServerThread() {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    TextPieceStream* takeStream() { return m_stream.exchange(nullptr); }

    // Runs on the server thread: stamps the time and hands the piece to the stream.
    void deliver(TextPieceStream* stream, const QString& piece) {
        QMetaObject::invokeMethod(stream, [stream, piece] {
            g_pieceSentAt.store(nowNanoseconds());
            stream->deliver(piece);
        });
    }
    void finish(TextPieceStream* stream) {
        QMetaObject::invokeMethod(stream, [stream] { stream->finish(); });
    }

    quint16 port = 0;
    std::string key;

private:
    QThread m_thread;
    QObject m_context;
    FunctionReplySource m_replies;
    LocalServer* m_server = nullptr;
    QUrl m_url;
    std::atomic<TextPieceStream*> m_stream{nullptr};
};

ServerThread* g_server = nullptr;

int connectLoopback(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void sendAll(int fd, const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += size_t(n);
    }
}

std::string request(const std::string& method, const std::string& target, const std::string& body) {
    std::string text = method + " " + target +
                       " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(g_server->port) + "\r\n";
    if (!body.empty()) {
        text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    return text + "\r\n" + body;
}

// Reads until `needle` has arrived after `from`; returns false at the end of the stream.
bool readUntil(int fd, std::string& buffer, const std::string& needle, size_t from = 0) {
    char chunk[65536];
    while (buffer.find(needle, from) == std::string::npos) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            return false;
        }
        buffer.append(chunk, size_t(n));
    }
    return true;
}

void getPage(benchmark::State& state) {
    const std::string bytes = request("GET", "/?key=" + g_server->key, {});
    size_t pageBytes = 0;
    for (auto _ : state) {
        const int fd = connectLoopback(g_server->port);
        sendAll(fd, bytes);
        std::string answer;
        readUntil(fd, answer, "\x01"); // to the end: the server closes after the page
        ::close(fd);
        pageBytes = answer.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["response_bytes"] = double(pageBytes);
}

void pieceToReader(benchmark::State& state) {
    const std::string chat = request("POST", "/api/chat?key=" + g_server->key,
                                     R"({"messages":[{"role":"user","content":"latency"}]})");
    const QString piece = QStringLiteral("a typical piece of a reply, ");
    std::vector<double> microseconds;
    for (auto _ : state) {
        state.PauseTiming();
        const int fd = connectLoopback(g_server->port);
        sendAll(fd, chat);
        std::string received;
        readUntil(fd, received, "\r\n\r\n");
        TextPieceStream* stream = nullptr;
        while (!(stream = g_server->takeStream())) {
            std::this_thread::yield();
        }
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) {
            const size_t from = received.size();
            g_server->deliver(stream, piece);
            readUntil(fd, received, "\n", from);
            microseconds.push_back(double(nowNanoseconds() - g_pieceSentAt.load()) / 1000.0);
        }
        state.PauseTiming();
        g_server->finish(stream);
        readUntil(fd, received, "\x01");
        ::close(fd);
        state.ResumeTiming();
    }
    std::sort(microseconds.begin(), microseconds.end());
    state.counters["median_us"] = microseconds[microseconds.size() / 2];
    state.counters["p99_us"] = microseconds[microseconds.size() * 99 / 100];
    state.SetItemsProcessed(qint64(microseconds.size()));
}

BENCHMARK(getPage)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(pieceToReader)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ServerThread server;
    g_server = &server;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_server = nullptr;
    return 0;
}
