#pragma once
// How the core reports that something failed: one small type, returned alone (Status) or beside
// a value (Result<T>). The message is the text the program shows for it; the kind lets a caller
// that acts differently on different failures tell them apart without reading the text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace orvel {

enum class FailureKind : std::uint8_t {
    Error,     // nothing a caller tells apart: a write, a run, a read that went wrong
    Missing,   // there was nothing to work on: a file or program that is not there or gave nothing
    Malformed, // the input is there but not in its format
    NotSaved,  // the work was done and is held in memory, but its file could not be written
    Cancelled, // the user cancelled (the message may be empty)
    Refused,   // a rule forbids it, and the message says which
};

struct Failure {
    FailureKind kind = FailureKind::Error;
    std::string message;
};

inline Failure failure(std::string message, FailureKind kind = FailureKind::Error) {
    return Failure{kind, std::move(message)};
}

// message followed by " (" + the system's text for err + ")"; message alone when err is 0.
Failure system_failure(std::string message, int err, FailureKind kind = FailureKind::Error);

// Success, or the failure that prevented it.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Failure failure) : failure_(std::move(failure)) {} // NOLINT: a failure is a status

    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    bool is(FailureKind kind) const { return failure_ && failure_->kind == kind; }
    // Only when !ok().
    const Failure& failure() const { return *failure_; }
    // Empty when ok().
    std::string_view message() const {
        return failure_ ? std::string_view(failure_->message) : std::string_view();
    }

  private:
    std::optional<Failure> failure_;
};

// A value, or the failure that prevented it.
template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}           // NOLINT
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {} // NOLINT

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    bool is(FailureKind kind) const { return !ok() && failure().kind == kind; }

    // Only when ok().
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    // The value, or fallback when there is none.
    T value_or(T fallback) const& { return ok() ? value() : std::move(fallback); }
    T value_or(T fallback) && { return ok() ? std::move(value()) : std::move(fallback); }

    // Only when !ok().
    const Failure& failure() const { return std::get<1>(state_); }
    std::string_view message() const {
        return ok() ? std::string_view() : std::string_view(failure().message);
    }
    // The failure alone, for a caller that passes it on.
    Status status() const { return ok() ? Status() : Status(failure()); }

  private:
    std::variant<T, Failure> state_;
};

} // namespace orvel
