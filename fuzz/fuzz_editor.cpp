// The editor reading rule: blanks, tabs and line breaks ignored anywhere, E or D exponents.
// A value it takes is finite, and the editor form of that value reads back to it.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/numparse.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    core::ParseEditorNumber(text);
    float value = 0.0f;
    if (!core::ParseEditorFloat(text, value)) return 0;
    FUZZ_CHECK(std::isfinite(value));
    const std::string form = core::FormatEditor(value);
    float again = 0.0f;
    FUZZ_CHECK(core::ParseEditorFloat(form, again));
    FUZZ_CHECK(std::fabs(again - value) <= 1e-6f * std::fabs(value) + 1e-38f);
    FUZZ_CHECK(core::FormatEditor(again) == form);
    return 0;
}
