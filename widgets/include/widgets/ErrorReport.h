#pragma once

#include <exception>
#include <utility>

namespace widgets {

// The general error report: the error's text in the application's error box.
void reportError(const std::exception& error);

// Runs f; an error it throws is reported and ends only f, as a handler's
// uncaught error does. Returns false when f failed.
template <typename F> bool guarded(F&& f)
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (const std::exception& error) {
        reportError(error);
        return false;
    }
}

} // namespace widgets
