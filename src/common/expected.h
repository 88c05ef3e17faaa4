// What an operation that can fail gives back: its value, or why it failed in words a person can
// read ("FILE: No space left on device"). The shape of C++23's std::expected with the reason as
// text, so that moving to the standard one later changes only this file.
#pragma once

#include <string>
#include <utility>
#include <variant>

struct Failure {
    std::string why;
};

inline Failure failure(std::string why)
{
    return Failure{std::move(why)};
}

template <class T = void>
class [[nodiscard]] Expected {
public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Expected(Failure failed) : state_(std::in_place_index<1>, std::move(failed.why)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const std::string& error() const { return std::get<1>(state_); }

private:
    std::variant<T, std::string> state_;
};

template <>
class [[nodiscard]] Expected<void> {
public:
    Expected() = default;
    Expected(Failure failed) : why_(std::move(failed.why)), failed_(true) {}

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return has_value(); }
    const std::string& error() const { return why_; }

private:
    std::string why_;
    bool failed_ = false;
};
