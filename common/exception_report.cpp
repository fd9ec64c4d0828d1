#include "common/exception_report.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace {

void toStderr(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "error: %s\n", ex.what());
    } catch (...) {
        std::fprintf(stderr, "error: unknown exception\n");
    }
}

ExceptionHandler handler;  // GUI thread only

}  // namespace

ExceptionHandler setExceptionHandler(ExceptionHandler h) { return std::exchange(handler, std::move(h)); }

void reportException(std::exception_ptr e) noexcept {
    try {
        if (handler)
            handler(e);
        else
            toStderr(e);
    } catch (...) {
        // A report that fails itself must not take the event loop down with it.
        std::fprintf(stderr, "error: the error report failed\n");
    }
}
