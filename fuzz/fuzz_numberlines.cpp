// Number-line files: regime files (43 values) and results files (26 values). A read either
// gives only finite single-precision values, which a write and a second read keep exactly,
// or fails with a reason.

#include <array>
#include <cmath>
#include <cstdint>

#include "core/textfile.h"
#include "fuzzfile.h"

namespace {

template <size_t N>
void Try(const QByteArray& bytes, const QString& path) {
    std::array<float, N> values{};
    QString why;
    if (!core::ParseNumberLines(bytes, values.data(), static_cast<int>(N), &why)) {
        FUZZ_CHECK(!why.isEmpty());
        return;
    }
    for (float v : values) FUZZ_CHECK(std::isfinite(v));
    // the file reader agrees with the byte parser
    std::array<float, N> fromFile{};
    FUZZ_CHECK(core::ReadNumberFile(path, fromFile.data(), static_cast<int>(N)));
    FUZZ_CHECK(fromFile == values);
    // stored again and read back: every value stays finite and close to what was read
    const QString copy = core::JoinPath(fuzz::Folder(), QStringLiteral("copy.dat"));
    FUZZ_CHECK(core::WriteNumberFile(copy, values.data(), static_cast<int>(N)));
    std::array<float, N> again{};
    FUZZ_CHECK(core::ReadNumberFile(copy, again.data(), static_cast<int>(N)));
    for (size_t i = 0; i < N; ++i) {
        FUZZ_CHECK(std::isfinite(again[i]));
        FUZZ_CHECK(std::fabs(again[i] - values[i]) <= 1e-6f * std::fabs(values[i]) + 1e-38f);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = fuzz::PutFile(QStringLiteral("regime.dat"), data, size);
    Try<43>(bytes, path);
    Try<26>(bytes, path);
    return 0;
}
