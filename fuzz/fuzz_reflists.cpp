// Reference lists ("Сотрудники.txt", "Dath.txt"): reading any bytes never crashes, and a
// list read, written and read again is the same list.

#include <cstdint>

#include "core/textfile.h"
#include "docs/reflists.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::PutFile(docs::kEmployeesFile, data, size);
    QStringList entries;
    if (!docs::ReadList(path, entries)) return 0;
    FUZZ_CHECK(entries.size() <= core::kMaxTextLines);
    QStringList stored;
    for (const QString& e : entries) stored.append(core::DecodeCp1251(core::EncodeCp1251(e)));
    const QString copy = core::JoinPath(fuzz::Folder(), docs::kSensorsFile);
    FUZZ_CHECK(docs::WriteList(copy, entries));
    QStringList again;
    FUZZ_CHECK(docs::ReadList(copy, again));
    FUZZ_CHECK(again == stored);
    return 0;
}
