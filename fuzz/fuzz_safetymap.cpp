// "Bez.txt", the safety-automation map: any bytes read without a crash into 45 cells, and a
// map written and read again is the same map (as the code page stores it).

#include <cstdint>

#include "core/textfile.h"
#include "docs/safetymap.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PutFile(docs::kSafetyMapFile, data, size);
    QStringList cells = docs::InitialMapCells();
    const docs::MapRead read = docs::ReadSafetyMap(fuzz::Folder(), cells);
    FUZZ_CHECK(read != docs::MapRead::Missing);
    FUZZ_CHECK(cells.size() == docs::kMapCells);
    if (read == docs::MapRead::Failed) return 0;
    FUZZ_CHECK(docs::WriteSafetyMap(fuzz::Folder(), cells));
    QStringList again = docs::InitialMapCells();
    FUZZ_CHECK(docs::ReadSafetyMap(fuzz::Folder(), again) == docs::MapRead::Complete);
    QStringList stored;
    for (const QString& c : cells) stored.append(core::DecodeCp1251(core::EncodeCp1251(c)));
    FUZZ_CHECK(again == stored);
    return 0;
}
