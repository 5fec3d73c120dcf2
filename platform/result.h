#pragma once

#include <string>
#include <utility>

// The outcome of an operation that can fail: done, with its value where it has one, or failed
// with a text that says why. Every fallible operation of the program returns this one shape.
namespace platform {

enum class Status { Done, Failed };

// A failure on its way into a Result of any value type: `return Failure{text, errno};`.
struct Failure
{
    std::string error; // UTF-8, says what failed
    int systemError = 0;
};

template <typename T = void>
struct [[nodiscard]] Result
{
    Result(T done)
        : status(Status::Done)
        , value(std::move(done))
    {}
    Result(Failure failed)
        : error(std::move(failed.error))
        , systemError(failed.systemError)
    {}

    explicit operator bool() const { return status == Status::Done; }
    // The failure, to pass on as another Result's.
    Failure AsFailure() const { return {error, systemError}; }

    Status status = Status::Failed;
    T value{};         // set when Done
    std::string error; // UTF-8, says what failed; set when Failed
    // The errno of the system call that failed, for callers that tell causes apart (a full
    // disk, a missing file); 0 when the failure has no such cause.
    int systemError = 0;
};

template <>
struct [[nodiscard]] Result<void>
{
    // Done.
    Result() = default;
    Result(Failure failed)
        : status(Status::Failed)
        , error(std::move(failed.error))
        , systemError(failed.systemError)
    {}

    explicit operator bool() const { return status == Status::Done; }
    Failure AsFailure() const { return {error, systemError}; }

    Status status = Status::Done;
    std::string error;
    int systemError = 0;
};

} // namespace platform
