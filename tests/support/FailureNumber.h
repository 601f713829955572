#pragma once

#include "failure/Failure.h"

#include <functional>

// The number of the failure that `step` raises, 0 when it raises none: for tables of steps that
// must fail with a given number or not at all.
inline int failingNumber(const std::function<void()> &step)
{
    try {
        step();
    } catch (const pellin::Failure &failure) {
        return failure.number();
    }
    return 0;
}
