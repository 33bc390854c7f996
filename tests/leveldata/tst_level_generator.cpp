// The data generator is deterministic: two runs write the same bytes, and the same bytes as the
// files the build put next to the game.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool runGenerator(const QString &binDir, const QString &generatedDir)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(MORVANE_DATAGEN, {binDir, generatedDir});
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

class GeneratorTest : public QObject {
    Q_OBJECT

private slots:
    void twoRunsWriteTheSameBytes()
    {
        QTemporaryDir first, second;
        QVERIFY(first.isValid() && second.isValid());
        QVERIFY(runGenerator(first.filePath("bin"), first.filePath("generated")));
        QVERIFY(runGenerator(second.filePath("bin"), second.filePath("generated")));

        const QStringList files = filesUnder(first.path());
        QCOMPARE(files.size(), 8 + 2 + 8); // level table and pictures, banner and icon, icon sizes
        QCOMPARE(filesUnder(second.path()), files);
        for (const QString &name : files) {
            const QByteArray bytes = bytesOf(first.filePath(name));
            QVERIFY2(!bytes.isEmpty(), qPrintable(name));
            QVERIFY2(bytes == bytesOf(second.filePath(name)),
                     qPrintable(name + " differs between runs"));
        }
        // The build's own files are the generator's current output.
        for (const QString &name : QDir(first.filePath("bin")).entryList(QDir::Files))
            QVERIFY2(bytesOf(first.filePath("bin/" + name))
                         == bytesOf(QDir(MORVANE_BIN_DIR).filePath(name)),
                     qPrintable(name + " in the build is stale"));
    }

    void refusesToRunWithoutItsFolders()
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(MORVANE_DATAGEN, {});
        QVERIFY(process.waitForFinished(60000));
        QVERIFY(process.exitCode() != 0);
    }
};

QTEST_GUILESS_MAIN(GeneratorTest)
#include "tst_level_generator.moc"
