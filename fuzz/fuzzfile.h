#pragma once
// Support for the fuzz targets of the file readers: each input becomes the bytes of a data
// file in a private folder (in memory under /dev/shm when there is one), so the readers are
// tried through the same open, check and read path as the program's own files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/filekinds.h"
#include "core/names.h"

namespace fuzz {

inline QString Folder() {
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/kalvaro-fuzz-XXXXXX")
                                                       : QDir::tempPath() + QStringLiteral("/kalvaro-fuzz-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder for the fuzz files\n");
        std::abort();
    }
    return dir.path();
}

// Writes the input as `name` in the private folder (plain stdio, so the writer under test
// is not part of the set-up) and gives its path.
inline QString PutFile(const QString& name, const uint8_t* data, size_t size) {
    const QString path = core::JoinPath(Folder(), name);
    std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write the fuzz file\n");
        std::abort();
    }
    return path;
}

// Whether the file the program wrote into the private folder happens to form UTF-8 with
// Cyrillic letters: the readers refuse such a file (and say so), so no round trip holds.
inline bool WrittenLooksLikeUtf8(const QString& name) {
    QFile f(core::JoinPath(Folder(), name));
    return f.open(QIODevice::ReadOnly) && core::LooksLikeUtf8(f.readAll());
}

// A finding: print what broke and stop, so libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(cond)                                                           \
    do {                                                                           \
        if (!(cond)) {                                                             \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                          \
        }                                                                          \
    } while (0)

}  // namespace fuzz
