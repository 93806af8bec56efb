// "Set the error if the caller gave a pointer", written once for every function that reports
// a failure as false plus an optional reason (`QString *error` in the Qt layers). Plain C++,
// so that every library may include it.
#pragma once

#include <type_traits>
#include <utility>

namespace quelvane {

// Gives `error` the reason when the caller asked for one. Returns false, so that a failing
// function can end with `return SetError(error, ...)`.
template <typename Text>
bool SetError(Text *error, std::type_identity_t<Text> reason)
{
    if (error)
        *error = std::move(reason);
    return false;
}

} // namespace quelvane
