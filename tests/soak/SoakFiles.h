// The pictures the monkey opens: good ones, a tiny one, broken ones, a huge one, a missing
// path; written once into a private folder at the start of the soak.
#pragma once

#include <QStringList>
#include <QTemporaryDir>

namespace morvane::test {

class SoakFiles {
public:
    SoakFiles();

    // Paths that load: a PNG and a JPEG of ordinary size, and a 4000 x 3000 JPEG that the
    // loader must shrink.
    QStringList good;
    QString huge;
    // Paths that must end in the "Bad Image File" message: damaged files, a picture too small
    // to cut, a folder, a path that does not exist.
    QStringList bad;
    // Damaged files collected from other programs' bug reports: some still decode, in part.
    QStringList doubtful;

private:
    QTemporaryDir m_dir;
};

} // namespace morvane::test
