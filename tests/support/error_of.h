#pragma once

#include <QString>
#include <functional>

#include "error.h"

// The text of the error the call throws, or a null string when it throws none.
inline QString errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.text();
    }
    return {};
}
