// Quoted records: the general data ("OData.txt", 19 values) and the units ("Ediny.txt",
// 31 values). Whatever the bytes, reading never crashes, a successful read has exactly its
// count of values, and what was read survives a write and a second read unchanged.

#include <cstdint>

#include "core/textfile.h"
#include "fuzzfile.h"
#include "object/generaldata.h"
#include "object/units.h"

namespace {

// A value as it comes back from a file: characters Windows-1251 cannot hold become "?".
QStringList AsStored(const QStringList& values) {
    QStringList out;
    for (const QString& v : values) out.append(core::DecodeCp1251(core::EncodeCp1251(v)));
    return out;
}

void RoundTrip(const QStringList& values, int count) {
    const QString copy = core::JoinPath(fuzz::Folder(), QStringLiteral("copy.txt"));
    QString error;
    FUZZ_CHECK(core::WriteQuotedFile(copy, values, &error));
    // a text that happens to form UTF-8 is refused on reading, and said so: no round trip
    if (fuzz::WrittenLooksLikeUtf8(QStringLiteral("copy.txt"))) return;
    QStringList again;
    FUZZ_CHECK(core::ReadQuotedFile(copy, count, again, &error));
    FUZZ_CHECK(again == AsStored(values));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PutFile(QStringLiteral("OData.txt"), data, size);
    fuzz::PutFile(QStringLiteral("Ediny.txt"), data, size);
    QStringList general, units;
    QString error;
    if (object::ReadGeneralData(fuzz::Folder(), general, &error)) {
        FUZZ_CHECK(general.size() == object::kGeneralCount);
        RoundTrip(general, object::kGeneralCount);
    } else {
        // a damaged file is named; what it holds is kept for showing, never more than its count
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(general.size() <= object::kGeneralCount);
    }
    error.clear();
    if (object::ReadUnits(fuzz::Folder(), units, &error)) {
        FUZZ_CHECK(units.size() == static_cast<int>(object::DefaultUnits().size()));
    } else {
        FUZZ_CHECK(!error.isEmpty());
    }
    return 0;
}
