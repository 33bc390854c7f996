// The test files kept in tests/data: each folder lists its files, with origin and licence, in
// its SOURCES.md.
#pragma once

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace morvane::test {

inline QString testDataFolder(const QString &name)
{
    return QStringLiteral(MORVANE_TEST_DATA_DIR "/") + name;
}

// The file names a folder's SOURCES.md lists in its table, sorted.
inline QStringList filesListedInSources(const QString &folder)
{
    QStringList listed;
    QFile sources(folder + QStringLiteral("/SOURCES.md"));
    if (!sources.open(QIODevice::ReadOnly | QIODevice::Text))
        return listed;
    static const QRegularExpression row(QStringLiteral("^\\| `([^`]+)` \\|"));
    for (const QString &line : QString::fromUtf8(sources.readAll()).split(QLatin1Char('\n')))
        if (const QRegularExpressionMatch m = row.match(line); m.hasMatch())
            listed << m.captured(1);
    listed.sort();
    return listed;
}

// The files actually in the folder, apart from SOURCES.md, sorted.
inline QStringList filesPresent(const QString &folder)
{
    QStringList present = QDir(folder).entryList(QDir::Files, QDir::Name);
    present.removeAll(QStringLiteral("SOURCES.md"));
    return present;
}

} // namespace morvane::test
