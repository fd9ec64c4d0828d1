#pragma once
// The application's central exception handler: where an error that escaped an event handler
// ends up. The window installs the general error report; until then the error goes to stderr.
#include <exception>
#include <functional>

using ExceptionHandler = std::function<void(std::exception_ptr)>;

// Replaces the central handler; returns the previous one.
ExceptionHandler setExceptionHandler(ExceptionHandler handler);

// Hands e to the central handler. Never throws.
void reportException(std::exception_ptr e) noexcept;

// Runs f; anything it throws goes to the central handler instead of further up.
template <class F>
void runGuarded(F&& f) noexcept {
    try {
        f();
    } catch (...) {
        reportException(std::current_exception());
    }
}
