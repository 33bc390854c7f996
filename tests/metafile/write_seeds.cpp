// Writes the built busy metafiles into a folder, as seeds for the metafile fuzz target:
//   metafile_seed_writer fuzz/corpus/metafile
#include "BusyMetafiles.h"

#include <QFile>
#include <QString>

#include <cstdio>
#include <utility>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const auto &[name, bytes] : {
             std::pair{"built-busy.emf", metafiletest::busyEmf()},
             std::pair{"built-busy.wmf", metafiletest::busyWmf()}
    }) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
