#pragma once
// A value or the reason there is none. Lower layers return these; only the
// command layer turns a failure into a message for the user.

#include <utility>
#include <variant>

namespace quillmere {

template <class E>
struct Unexpected {
    E error;
};

template <class E>
Unexpected<E> unexpected(E error) { return Unexpected<E>{std::move(error)}; }

// Marked [[nodiscard]]: a failure is never dropped unseen. Where one is
// dropped on purpose (a rollback that does what it can), say so with
// static_cast<void>.
template <class T, class E>
class [[nodiscard]] Expected {
public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    E& error() & { return std::get<1>(state_); }
    const E& error() const& { return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

// Success that carries nothing.
struct Done {};

}  // namespace quillmere
