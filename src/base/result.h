#pragma once

#include <optional>
#include <string>
#include <utility>

// The result of a step that can fail: a value, or why there is none, in words for the user.
// Every fallible step of the program returns one (files add the file's name to the reason).

struct Failure {
    std::string reason;
};

template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : reason_(std::move(failure.reason)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Why there is no value; empty when there is one.
    const std::string& reason() const { return reason_; }

  private:
    std::optional<T> value_;
    std::string reason_;
};
