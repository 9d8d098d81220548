// INI files ("ComPort.ini" and the program's settings): reading any bytes never crashes, and
// after a successful write of a key the same key reads back as written.

#include <QFile>
#include <cstdint>

#include "core/ini.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::PutFile(QStringLiteral("ComPort.ini"), data, size);
    const QString before = core::ReadIni(path, QStringLiteral("General"), QStringLiteral("Speed"), QStringLiteral("?"));
    FUZZ_CHECK(before.size() <= 254);
    core::ReadIni(path, QStringLiteral("Связь"), QStringLiteral("Порт"), QString());
    if (core::WriteIni(path, QStringLiteral("General"), QStringLiteral("Speed"), QStringLiteral("19200"))) {
        // a text that happens to form UTF-8 is refused on reading, and said so: no round trip
        if (fuzz::WrittenLooksLikeUtf8(QStringLiteral("ComPort.ini"))) return 0;
        FUZZ_CHECK(core::ReadIni(path, QStringLiteral("General"), QStringLiteral("Speed"), QStringLiteral("?")) ==
                   QStringLiteral("19200"));
    } else {
        // a file that cannot be taken is left exactly as it was
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::ReadOnly));
        FUZZ_CHECK(f.readAll() == QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    }
    return 0;
}
