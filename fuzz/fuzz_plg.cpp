// "PLG.txt" of the flame-head window: any bytes read without a crash; the values come back
// as stored (numbers or not) and survive a write and a second read; the window's model
// takes them and a slider move without a crash or a number that is not finite.

#include <cmath>
#include <cstdint>

#include "core/numbers.h"
#include "core/textfile.h"
#include "fuzzfile.h"
#include "tools/flamehead.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PutFile(tools::kPlgFile, data, size);
    tools::PlgContents plg;
    QString error;
    if (!tools::ReadPlg(fuzz::Folder(), plg, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(plg.exists && plg.values.size() == 4);
    tools::FlameHead f;
    if (plg.present[0]) f.e1Changed(plg.values[0]);
    if (plg.present[1]) f.e2Changed(plg.values[1]);
    if (plg.present[2]) f.TQ1Changed(plg.values[2]);
    if (plg.present[3]) f.TQ2Changed(plg.values[3]);
    if (f.sliderEnabled) {
        FUZZ_CHECK(f.sliderMin <= f.sliderMax);
        f.sliderMoved((f.sliderMin / 2) + (f.sliderMax / 2));
        for (const QString& shown : {f.Lt, f.Lg, f.Lk}) {
            FUZZ_CHECK(!shown.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
            FUZZ_CHECK(!shown.contains(QStringLiteral("inf"), Qt::CaseInsensitive));
        }
    }
    FUZZ_CHECK(tools::WritePlg(fuzz::Folder(), plg.values));
    // a text that happens to form UTF-8 is refused on reading, and said so: no round trip
    if (fuzz::WrittenLooksLikeUtf8(QStringLiteral("PLG.txt"))) return 0;
    tools::PlgContents again;
    FUZZ_CHECK(tools::ReadPlg(fuzz::Folder(), again));
    QStringList stored;
    for (const QString& line : core::QuoteLines(plg.values))
        stored.append(core::DecodeCp1251(core::EncodeCp1251(core::UnquoteLine(line))));
    FUZZ_CHECK(again.complete && again.values == stored);
    return 0;
}
