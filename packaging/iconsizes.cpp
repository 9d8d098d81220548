// Build tool: writes the program icon in the sizes of the freedesktop icon theme,
//   kalvaro_iconsizes SOURCE.png OUTDIR SIZE...  ->  OUTDIR/<S>x<S>/apps/kalvaro.png
// so that one picture is the source of every size.

#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: kalvaro_iconsizes SOURCE.png OUTDIR SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "kalvaro_iconsizes: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "kalvaro_iconsizes: bad size %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QImage image = size == source.width() && size == source.height()
                                 ? source
                                 : source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/kalvaro.png"), "PNG")) {
            std::fprintf(stderr, "kalvaro_iconsizes: cannot write %s/kalvaro.png\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
