// Counter files ("Col_R.txt", "Col_RAll.txt"): a read gives a whole number that the counter
// form writes back to the same number, or fails naming the file.

#include <cstdint>

#include "core/numbers.h"
#include "fuzzfile.h"
#include "regime/regimestore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PutFile(regime::kLastNumberFile, data, size);
    int value = 0;
    QString error;
    if (!regime::ReadCounter(fuzz::Folder(), regime::kLastNumberFile, value, &error)) {
        FUZZ_CHECK(error.contains(regime::kLastNumberFile));
        return 0;
    }
    for (bool blank : {true, false}) {
        int again = 0;
        FUZZ_CHECK(core::ParseCounter(core::CounterForm(value, blank), again));
        FUZZ_CHECK(again == value);
    }
    return 0;
}
