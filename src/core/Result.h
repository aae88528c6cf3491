#pragma once

#include "core/ErrorNumber.h"

#include <utility>
#include <variant>

// A value or the error number of an expected failure (a missing file, a refused write).
template <class T> class Result {
public:
    Result(T value) : v_(std::move(value)) {} // NOLINT(google-explicit-constructor)
    Result(ErrorNumber e) : v_(e) {}          // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool ok() const { return std::holds_alternative<T>(v_); }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] ErrorNumber error() const { return std::get<ErrorNumber>(v_); }
    [[nodiscard]] T& value() { return std::get<T>(v_); }
    [[nodiscard]] const T& value() const { return std::get<T>(v_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

private:
    std::variant<T, ErrorNumber> v_;
};

struct Done {};
using Status = Result<Done>;
