// What a game under test starts from: a private copy of the data files, and random numbers
// that a test can script.
#pragma once

#include "game/Random.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>

namespace morvane::test {

// Hands out scripted numbers first, then falls back to the real generator.
class ScriptedRandom : public Random {
public:
    std::deque<float> script;
    int reseeds = 0;
    float next() override
    {
        if (script.empty())
            return Random::next();
        const float value = script.front();
        script.pop_front();
        return value;
    }
    void reseedFromClock() override { ++reseeds; }
};

// A private copy of the game's data files, so that a test may remove or spoil them.
class DataFolder {
public:
    DataFolder()
    {
        const QDir built(QStringLiteral(MORVANE_BIN_DIR));
        QStringList names{QStringLiteral("Levels.res")};
        for (int n = 1; n <= 7; ++n)
            names << QStringLiteral("Level%1.res").arg(n);
        for (const QString &name : names)
            QFile::copy(built.filePath(name), QDir(m_dir.path()).filePath(name));
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    bool remove(const QString &name) const { return QFile::remove(file(name)); }
    // Cuts a file short, as a copy broken off part-way leaves it.
    bool keepFirstBytes(const QString &name, qint64 bytes) const
    {
        QFile cut(file(name));
        return cut.open(QIODevice::ReadWrite) && cut.resize(bytes);
    }

private:
    QTemporaryDir m_dir;
};

} // namespace morvane::test
