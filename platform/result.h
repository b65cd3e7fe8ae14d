#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

// What a caller may act on when an operation failed; the problem's words
// are for people only, never to be searched.
enum class FailureKind {
    Failed,  // any failure without a kind of its own
    Missing, // what was asked for is not there
    Newer,   // written by a newer version of this program: left alone
};

// Why an operation failed: one line for the user, and its kind.
struct Failure {
    std::string problem;
    FailureKind kind = FailureKind::Failed;
};

// What a fallible operation gives: its value, or a Failure saying why not.
// [[nodiscard]] so that a dropped outcome does not compile quietly.
template <typename T> class [[nodiscard]] Result {
public:
    template <typename U = T,
              typename = std::enable_if_t<std::is_constructible_v<T, U&&> &&
                                          !std::is_same_v<std::decay_t<U>, Failure> &&
                                          !std::is_same_v<std::decay_t<U>, Result>>>
    Result(U&& value) : m_state(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool HasValue() const { return m_state.index() == 0; }
    explicit operator bool() const { return HasValue(); }

    // Only when HasValue().
    const T& Value() const& { return std::get<0>(m_state); }
    T& Value() & { return std::get<0>(m_state); }
    T&& Value() && { return std::get<0>(std::move(m_state)); }
    const T* operator->() const { return &Value(); }
    const T& operator*() const& { return Value(); }

    // Empty when HasValue().
    const std::string& Problem() const {
        static const std::string none;
        return HasValue() ? none : std::get<1>(m_state).problem;
    }
    // Only when !HasValue().
    FailureKind Kind() const { return std::get<1>(m_state).kind; }
    const Failure& Error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Failure> m_state;
};

// An operation that gives nothing but success or a Failure.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failure(std::move(failure)), m_failed(true) {}

    bool HasValue() const { return !m_failed; }
    explicit operator bool() const { return HasValue(); }
    const std::string& Problem() const { return m_failure.problem; }
    // Only when !HasValue().
    FailureKind Kind() const { return m_failure.kind; }
    const Failure& Error() const { return m_failure; }

private:
    Failure m_failure;
    bool m_failed = false;
};
