// The q5 calculator's file (66 quoted cells): reading any bytes never crashes, a read gives
// exactly 66 cells, the calculation over them writes only finite numbers, and the cells
// written and read again are the cells as stored.

#include <cmath>
#include <cstdint>

#include "core/numbers.h"
#include "core/textfile.h"
#include "fuzzfile.h"
#include "tools/q5.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString name = QStringLiteral("Режим  1q5.txt");
    fuzz::PutFile(name, data, size);
    QStringList cells;
    bool found = false;
    QString error;
    if (!tools::ReadQ5File(fuzz::Folder(), name, cells, &found, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(found && cells.size() == tools::kQ5CellCount);
    tools::ComputeQ5(cells, 930.233);
    for (int s = 1; s <= tools::kQ5SurfaceCount; ++s)
        for (tools::Q5Column c : {tools::Convective, tools::Radiative, tools::SurfaceLoss}) {
            const QString t = cells[tools::Q5Cell(s, c)];
            FUZZ_CHECK(!t.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
            FUZZ_CHECK(!t.contains(QStringLiteral("inf"), Qt::CaseInsensitive));
        }
    FUZZ_CHECK(std::isfinite(core::ParseNumber(cells[tools::kQ5TotalCell])));
    const QString copy = QStringLiteral("Режим  2q5.txt");
    FUZZ_CHECK(tools::WriteQ5File(fuzz::Folder(), copy, cells));
    QStringList again;
    FUZZ_CHECK(tools::ReadQ5File(fuzz::Folder(), copy, again));
    // what a file can hold: no double quote, no line break, the code page's characters
    QStringList stored;
    for (const QString& c : core::QuoteLines(cells)) stored.append(core::DecodeCp1251(core::EncodeCp1251(core::UnquoteLine(c))));
    FUZZ_CHECK(again == stored);
    return 0;
}
