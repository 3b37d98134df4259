// Writes the game's icon into a hicolor icon theme tree:
//   makeicons OUTDIR NAME  ->  OUTDIR/<size>x<size>/apps/NAME.png
// The art is drawn by the game's own code (render/iconart); nothing is read.
#include "render/iconart.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: makeicons OUTDIR NAME\n");
        return 2;
    }
    const QString outdir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : ordnix::kThemeIconSizes) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outdir).arg(size);
        if (!QDir().mkpath(dir)) {
            std::fprintf(stderr, "makeicons: cannot create %s\n", qPrintable(dir));
            return 1;
        }
        const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!ordnix::makeicon(size).save(file, "PNG")) {
            std::fprintf(stderr, "makeicons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
