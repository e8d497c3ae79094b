// Scales a picture to square icons of the given sizes:
//   scale_icon SOURCE.png FOLDER SIZE...
// writes FOLDER/<size>x<size>/apps/vorlan.png for each size, as the hicolor theme lays
// them out.
#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: scale_icon SOURCE.png FOLDER SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "scale_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QImage icon =
            source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (size <= 0 || !QDir().mkpath(folder) || !icon.save(folder + "/vorlan.png")) {
            std::fprintf(stderr, "scale_icon: cannot write the %s pixel icon into %s\n", argv[i],
                         argv[2]);
            return 1;
        }
    }
    return 0;
}
