#pragma once

#include "models/model_error.h"

#include <utility>
#include <variant>

// A value or the error that prevented it; errors travel as values, never as
// exceptions across the event loop.
template <typename T> class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(ModelError error) : m_state(std::move(error)) {}
    Result(CloudError error) : m_state(ModelError(std::move(error))) {}
    Result(LLMError error) : m_state(ModelError(std::move(error))) {}
    Result(PlatformError error) : m_state(ModelError(std::move(error))) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    const T& value() const { return std::get<T>(m_state); }
    T& value() { return std::get<T>(m_state); }
    const ModelError& error() const { return std::get<ModelError>(m_state); }

private:
    std::variant<T, ModelError> m_state;
};
