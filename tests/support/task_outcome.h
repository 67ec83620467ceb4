#pragma once

#include <QCoroTask>
#include <QTest>

#include <memory>
#include <optional>

// Starts a coroutine from a test and keeps its result to wait on, without a
// nested event loop:
//     const auto reply = startTask(service.sendChat(messages));
//     QTRY_VERIFY(reply->has_value());
template <typename T> std::shared_ptr<std::optional<T>> startTask(QCoro::Task<T> task) {
    auto outcome = std::make_shared<std::optional<T>>();
    // The chained task may be dropped: QCoro frees a finished detached task.
    task.then([outcome](T value) { outcome->emplace(std::move(value)); });
    return outcome;
}

// Starts the coroutine and handles events until it has finished (at most 10 s).
template <typename T> T finished(QCoro::Task<T> task) {
    const auto outcome = startTask(std::move(task));
    if (!QTest::qWaitFor([&outcome] { return outcome->has_value(); }, 10000)) {
        qFatal("the task never finished");
    }
    return std::move(**outcome);
}
