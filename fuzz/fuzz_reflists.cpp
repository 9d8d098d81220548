// Reference lists ("Сотрудники.txt", "Dath.txt"): reading any bytes never crashes, and a
// list read, written and read again is the same list.

#include <cstdint>

#include "core/textfile.h"
#include "object/reflists.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::PutFile(object::kEmployeesFile, data, size);
    QStringList entries;
    if (!object::ReadList(path, entries)) return 0;
    FUZZ_CHECK(entries.size() <= core::kMaxTextLines);
    QStringList stored;
    for (const QString& e : entries) stored.append(core::DecodeCp1251(core::EncodeCp1251(e)));
    const QString copy = core::JoinPath(fuzz::Folder(), object::kSensorsFile);
    FUZZ_CHECK(object::WriteList(copy, entries));
    QStringList again;
    FUZZ_CHECK(object::ReadList(copy, again));
    FUZZ_CHECK(again == stored);
    return 0;
}
