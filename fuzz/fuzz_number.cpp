// The stored number rule: the lenient reader, the checked single-precision reader and the
// whole-number reader of the load sort. No text gives an infinity or NaN, and the stored
// form of a value read reads back to a value within the form's seven digits.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/numparse.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double lenient = core::ParseNumber(text);
    float stored = 0.0f;
    if (core::ParseStoredFloat(text, stored)) {
        FUZZ_CHECK(std::isfinite(stored));
        if (std::isfinite(lenient)) FUZZ_CHECK(static_cast<float>(lenient) == stored);
        const std::string form = core::FormatStored(stored);
        float again = 0.0f;
        FUZZ_CHECK(core::ParseStoredFloat(form, again));
        FUZZ_CHECK(std::fabs(again - stored) <= 1e-6f * std::fabs(stored) + 1e-38f);
        FUZZ_CHECK(core::FormatStored(again) == form);
    }
    double whole = 0.0;
    if (core::ParseWholeNumber(text, whole)) {
        FUZZ_CHECK(std::isfinite(whole));
        // the load sort and the lenient rule agree on a text that is wholly a number
        std::string_view t = text;
        auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        while (!t.empty() && blank(t.front())) t.remove_prefix(1);
        FUZZ_CHECK(core::ParseNumber(t) == whole);
    }
    core::RoundHalfEven(lenient, static_cast<int>(size % 8));
    return 0;
}
