// A host object the conversion needs is absent: the conversion ends with a plain
// std::exception, which the command callback lets reach the host.
#pragma once

#include <exception>

[[noreturn]] inline void conversionFailure() {
    throw std::exception();
}

// Returns the object, or raises the conversion failure when the host gave none.
template <class PtrT>
PtrT required(PtrT object) {
    if (!object) conversionFailure();
    return object;
}
