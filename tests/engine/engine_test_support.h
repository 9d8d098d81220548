#pragma once
// Inputs shared by the engine tests.

#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "sample_regimes.h"

namespace engine_test {

inline constexpr float kSentinel = -7.0f;

inline engine::Results SentinelResults() {
    engine::Results r;
    r.fill(kSentinel);
    return r;
}

}  // namespace engine_test
