#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tgw {

// What a failed operation tells its caller: a sentence a user can act on.
struct CError {
    std::string message;
};

inline CError failure(std::string message) {
    return CError{std::move(message)};
}

// The value of an operation that may fail, or the reason it failed.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(CError error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }

    const std::string& error() const { return std::get<1>(m_state).message; }

private:
    std::variant<T, CError> m_state;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(CError error) : m_failed(true), m_error(std::move(error.message)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return m_error; }

private:
    bool m_failed = false;
    std::string m_error;
};

using Status = Result<void>;

} // namespace tgw
