#pragma once

#include "models/http_exchange.h"
#include "models/model_reply.h"
#include "models/reply_line_reader.h"
#include "models/reply_progress.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <memory>
#include <optional>

// What one line of a streamed answer adds, and whether it was reasoning.
struct AssembledLine {
    StreamLine line;
    bool reasoning = false;
};

// Reads a streamed answer line by line and builds from it the body the one-shot
// request would have had, so that one decoder reads both: the streamed reply
// cannot differ from the whole one.
class StreamAssembly {
public:
    virtual ~StreamAssembly() = default;
    virtual AssembledLine read(QByteArrayView line) = 0;
    // The one-shot body; nothing while the answer has not come to its end.
    virtual std::optional<QByteArray> wholeBody() const = 0;
};

// Chat completions: text, "reasoning_content" and "tool_calls" deltas, the
// calls put together by "index" (a new id at a used index starts another call,
// as some compatible servers number parallel calls; Gemini sends no index: a
// delta without one continues the last call unless it names a new id or a
// function again), "id", "name" and the other members from their first delta,
// "arguments" joined; ends with "[DONE]" or a finish reason.
std::unique_ptr<StreamAssembly> chatCompletionsAssembly();
// The Responses API: the deltas show; "response.completed" (or
// "response.incomplete") carries the whole response.
std::unique_ptr<StreamAssembly> responsesAssembly();
// Ollama: each line's "content" joined, "tool_calls" gathered (they come whole),
// "thinking" shown as reasoning; the "done" line ends it with its reason.
std::unique_ptr<StreamAssembly> ollamaAssembly();

// Reads the lines of the phone's stream (no tools) with `assembly`; at the end
// of the answer the whole of it is read by `decode`, the one-shot decoder, so
// that an answer that is no answer (nothing written, or cut at the output limit
// before any text) ends with the same error the one-shot request gives.
using ReplyDecoder = std::function<Result<ModelReply>(const HttpAnswer& answer)>;
StreamLineReader judgedLineReader(std::shared_ptr<StreamAssembly> assembly, ReplyDecoder decode);

// POSTs `body` for a streamed answer. An answer with status 200 is read as it
// arrives, its text and reasoning going to `progress`, and comes back as the
// HttpAnswer the one-shot request would have had; an error the stream carries,
// or an end before the answer was whole, comes back as that error. Any other
// status, a transport failure or a cancellation comes back as from exchange.
QCoro::Task<Result<HttpAnswer>> streamedExchange(QPointer<QNetworkAccessManager> network,
                                                 QNetworkRequest request, QByteArray body,
                                                 std::shared_ptr<RequestCancellation> cancellation,
                                                 std::unique_ptr<StreamAssembly> assembly,
                                                 ReplyProgress progress);
