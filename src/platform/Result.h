#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace vorlan {

// Why something failed: its number in the table of its family (run-time errors here, transfer
// errors in TransferError.h) and the message that tells it, naming what failed.
struct Failure {
    int number = 0;
    QString message;
};

// The one shape of everything that can fail: a value, or the failure that left none.
template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    const T& value() const& { return std::get<T>(state_); }
    T& value() & { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    const Failure& failure() const { return std::get<Failure>(state_); }

  private:
    std::variant<T, Failure> state_;
};

// Success, or the failure.
template <> class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_.has_value(); }
    const Failure& failure() const { return *failure_; }

  private:
    std::optional<Failure> failure_;
};

// The numbers of the run-time errors the program's own steps fail with.
namespace runtime_error {
inline constexpr int kInvalidArgument = 5; // "Invalid procedure call or argument"
inline constexpr int kOverflow = 6;        // "Overflow"
inline constexpr int kPathFileAccess = 75; // "Path/File access error": a file or folder failed
} // namespace runtime_error

} // namespace vorlan
