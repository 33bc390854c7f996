// The file-open form: where it starts, what its lists show, how the player moves through
// them, the path that OK hands over, cancelling, and the fallback for unreadable drives.
#include "import/FileOpenForm.h"
#include "import/FolderList.h"
#include "import/PictureFileList.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using namespace morvane;

namespace {

QStringList listedFiles(const PictureFileList *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QStringList subfolderRows(const FolderList *folders)
{
    QStringList names;
    const QTreeWidgetItem *current = folders->currentItem();
    for (int i = 0; current && i < current->childCount(); ++i)
        names << current->child(i)->text(0);
    return names;
}

void selectFile(PictureFileList *list, const QString &name)
{
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    const QRect row = list->visualItemRect(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
}

// Runs `step` on the modal window once it is up.
void whenModal(std::function<void(QWidget *)> step)
{
    QTimer::singleShot(0, [step] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        step(modal);
    });
}

} // namespace

class FileOpenFormTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tree;
    QString m_savedCwd;
    QString m_pics; // the working directory of every test

    void touch(const QString &relative)
    {
        QFile file(m_tree.filePath(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tree.isValid());
        for (const char *folder : {"pics/sub1", "pics/Sub2", "pics/.hidden", "pics/folder.jpg"})
            QVERIFY(QDir(m_tree.path()).mkpath(QString::fromLatin1(folder)));
        for (const char *file : {"pics/a.bmp", "pics/B.JPG", "pics/c.txt", "pics/d.gif.txt",
                                 "pics/.secret.jpg", "pics/e.Dib", "pics/sub1/inner.gif"})
            touch(QString::fromLatin1(file));
        m_savedCwd = QDir::currentPath();
    }

    void init()
    {
        QVERIFY(QDir::setCurrent(m_tree.filePath(QStringLiteral("pics"))));
        m_pics = QDir::currentPath();
    }

    void cleanupTestCase() { QDir::setCurrent(m_savedCwd); }

    // --- path building -----------------------------------------------------------------

    void rootFolderGivesDoubledSeparator()
    {
        QCOMPARE(pathInFolder(QStringLiteral("/"), QStringLiteral("a.bmp")),
                 QStringLiteral("//a.bmp"));
        QCOMPARE(pathInFolder(QStringLiteral("/srv/pics"), QStringLiteral("a.bmp")),
                 QStringLiteral("/srv/pics/a.bmp"));

        FolderList folders;
        QVERIFY(folders.setPath(QStringLiteral("/")));
        QCOMPARE(folders.path(), QDir::toNativeSeparators(QDir::rootPath()));
        QVERIFY(folders.setPath(m_pics + QStringLiteral("/sub1/")));
        QCOMPARE(folders.path(), m_pics + QStringLiteral("/sub1"));
    }

    // --- the designed window -----------------------------------------------------------

    void formHasItsDesignedShape()
    {
        FileOpenForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Open image file"));
        QCOMPARE(form.minimumSize(), QSize(443, 259));
        QCOMPARE(form.maximumSize(), QSize(443, 259));
        QVERIFY(
            !(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form.okButton()->geometry(), QRect(264, 216, 81, 25));
        QCOMPARE(form.driveList()->geometry(), QRect(32, 24, 153, 21));
        QCOMPARE(form.folderList()->geometry(), QRect(32, 56, 153, 141));
        QCOMPARE(form.fileList()->geometry(), QRect(208, 24, 209, 175));
        QCOMPARE(form.okButton()->text(), QStringLiteral("OK"));
    }

    void okHoldsTheFocusButIsNotTheDefault()
    {
        FileOpenForm form;
        form.show();
        QCOMPARE(form.focusWidget(), form.okButton());
        QVERIFY(!form.okButton()->isDefault());
        QCOMPARE(form.okButton()->nextInFocusChain(), form.driveList());
        QCOMPARE(form.driveList()->nextInFocusChain(), form.folderList());
    }

    // --- where it starts and what the lists show ---------------------------------------

    void startsOnTheWorkingDirectoryAndItsVolume()
    {
        FileOpenForm form;
        QCOMPARE(form.folderList()->path(), QDir::toNativeSeparators(m_pics));
        QCOMPARE(form.fileList()->folder(), QDir::toNativeSeparators(m_pics));
        QCOMPARE(form.driveList()->drive(), volumeRootOf(m_pics));
    }

    void fileListShowsOnlyPictureFiles()
    {
        FileOpenForm form;
        // Extensions match in any case; folders, other files and hidden files are left out.
        QCOMPARE(listedFiles(form.fileList()),
                 (QStringList{QStringLiteral("a.bmp"), QStringLiteral("B.JPG"),
                              QStringLiteral("e.Dib")}));
        QCOMPARE(form.fileList()->fileName(), QString());
    }

    void fileListShowsEveryPictureType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");
        for (const char *name : {"photo.jpg", "photo.jpeg", "paint.bmp", "anim.gif", "clip.wmf",
                                 "clip.emf", "bare.dib", "shot.png", "SHOT.PNG", "download.webp",
                                 "Download.WebP", "scan.tif", "scan.tiff", "SCAN.TIF", "phone.heic",
                                 "IMG_0001.HEIC", "camera.heif", "web.avif", "photo.jxl"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        for (const char *name : {"vector.svg", "shot.png.txt", "scan.tiffany", "clip.heics"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }

    void fileListShowsEveryPictureType()
    {
        QFETCH(QString, name);
        QFETCH(bool, listed);
        QTemporaryDir folder;
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QDir::setCurrent(folder.path()));
        FileOpenForm form;
        QCOMPARE(listedFiles(form.fileList()), listed ? QStringList{name} : QStringList());
    }

    void folderListShowsAncestorsAndSubfolders()
    {
        FileOpenForm form;
        const FolderList *folders = form.folderList();
        // From the root down to the current folder, one row per level...
        QStringList ancestors;
        for (const QTreeWidgetItem *row = folders->currentItem(); row; row = row->parent())
            ancestors.prepend(row->text(0));
        QStringList expected = m_pics.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        expected.prepend(QStringLiteral("/"));
        QCOMPARE(ancestors, expected);
        // ...then the current folder's visible subfolders, sorted without regard to case.
        QCOMPARE(subfolderRows(folders),
                 (QStringList{QStringLiteral("folder.jpg"), QStringLiteral("sub1"),
                              QStringLiteral("Sub2")}));
        QCOMPARE(folders->highlightedPath(), QDir::toNativeSeparators(m_pics));
    }

    // --- moving through the folders ----------------------------------------------------

    void arrowsAndEnterOpenAFolder()
    {
        FileOpenForm form;
        form.show();
        FolderList *folders = form.folderList();
        folders->setFocus();
        QTest::keyClick(folders, Qt::Key_Down); // folder.jpg
        QTest::keyClick(folders, Qt::Key_Down); // sub1
        QCOMPARE(folders->highlightedPath(), m_pics + QStringLiteral("/sub1"));
        QCOMPARE(folders->path(), m_pics); // highlighting alone opens nothing
        QTest::keyClick(folders, Qt::Key_Return);
        QCOMPARE(folders->path(), m_pics + QStringLiteral("/sub1"));
        QCOMPARE(listedFiles(form.fileList()), QStringList{QStringLiteral("inner.gif")});
        QVERIFY(form.isVisible());

        // Up to the parent row and open it again.
        QTest::keyClick(folders, Qt::Key_Up);
        QTest::keyClick(folders, Qt::Key_Return);
        QCOMPARE(folders->path(), m_pics);
        QCOMPARE(form.fileList()->folder(), m_pics);
        QCOMPARE(QDir::currentPath(), m_pics); // the working directory never moves
    }

    void doubleClickOpensAFolder()
    {
        FileOpenForm form;
        form.show();
        FolderList *folders = form.folderList();
        QTreeWidgetItem *sub2 = folders->currentItem()->child(2);
        QCOMPARE(sub2->text(0), QStringLiteral("Sub2"));
        const QPoint at = folders->visualItemRect(sub2).center();
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(folders->path(), m_pics + QStringLiteral("/Sub2"));
        QVERIFY(listedFiles(form.fileList()).isEmpty());
        QCOMPARE(QDir::currentPath(), m_pics);
    }

    // --- OK ----------------------------------------------------------------------------

    void okWithoutAFileDoesNothing()
    {
        FileOpenForm form;
        form.show();
        QTest::mouseClick(form.okButton(), Qt::LeftButton);
        QVERIFY(form.isVisible());
        QCOMPARE(form.chosenPath(), QString());
        // Enter on the focused OK is the same click.
        QCOMPARE(form.focusWidget(), form.okButton());
        QTest::keyClick(form.okButton(), Qt::Key_Return);
        QVERIFY(form.isVisible());
    }

    // With a file chosen, Enter on the focused OK clicks it and hands over the full path; Enter
    // elsewhere is no OK, even where the list has nothing of its own to do with it.
    void okHandsOverTheFullPathAndCloses_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("taken");
        QTest::newRow("Enter on OK") << "OK" << true;
        QTest::newRow("Enter in the drive list") << "drives" << false;
        QTest::newRow("Enter on the folder already open") << "folders" << false;
    }
    void okHandsOverTheFullPathAndCloses()
    {
        QFETCH(QString, focus);
        QFETCH(bool, taken);
        FileOpenForm form;
        form.show();
        selectFile(form.fileList(), QStringLiteral("B.JPG"));
        QCOMPARE(form.fileList()->fileName(), QStringLiteral("B.JPG"));
        QWidget *target = form.folderList();
        if (focus == QLatin1String("OK"))
            target = form.okButton();
        else if (focus == QLatin1String("drives"))
            target = form.driveList();
        target->setFocus();
        QCOMPARE(form.folderList()->highlightedPath(), m_pics);
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(form.isVisible(), !taken);
        QCOMPARE(form.chosenPath(), taken ? m_pics + QStringLiteral("/B.JPG") : QString());
        if (taken)
            QCOMPARE(form.result(), int(QDialog::Accepted));
        else
            QCOMPARE(form.fileList()->fileName(), QStringLiteral("B.JPG")); // still chosen
    }

    void ownedAndModalOverTheWindowItOpensFrom()
    {
        // A transient window of its owner's, modal to the whole game, in the window system's
        // own terms: each desktop places such a window over its owner.
        QWidget owner;
        owner.show();
        QWindow *ownerWindow = owner.windowHandle();
        whenModal([ownerWindow](QWidget *modal) {
            const QWindow *shown = modal->windowHandle();
            const bool owned = shown && shown->transientParent() == ownerWindow
                               && shown->modality() == Qt::ApplicationModal;
            modal->close();
            QVERIFY(owned);
        });
        QCOMPARE(runFileOpenForm(&owner), QString());
    }

    void doubleClickOnAFileActsAsOk()
    {
        whenModal([](QWidget *modal) {
            PictureFileList *files = qobject_cast<FileOpenForm *>(modal)->fileList();
            const QList<QListWidgetItem *> found =
                files->findItems(QStringLiteral("e.Dib"), Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            const QPoint at = files->visualItemRect(found.first()).center();
            QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
            QVERIFY(modal->isVisible()); // a single click only selects
            QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
            if (modal->isVisible())
                modal->close(); // keeps a failing test from hanging
        });
        QCOMPARE(runFileOpenForm(nullptr), m_pics + QStringLiteral("/e.Dib"));
    }

    // --- cancelling --------------------------------------------------------------------

    void closeBoxAndEscCancel()
    {
        whenModal([](QWidget *modal) { modal->close(); });
        QCOMPARE(runFileOpenForm(nullptr), QString());

        whenModal([](QWidget *modal) {
            auto *form = qobject_cast<FileOpenForm *>(modal);
            selectFile(form->fileList(), QStringLiteral("a.bmp")); // a choice made, then dropped
            QTest::keyClick(modal, Qt::Key_Escape);
            if (modal->isVisible())
                modal->close();
        });
        QCOMPARE(runFileOpenForm(nullptr), QString());
    }

    // --- drives ------------------------------------------------------------------------

    // Whatever holds the working folder, a mount of its own (a tmpfs /tmp) or the system root,
    // is the drive the list starts on.
    void pickingADriveOpensItsRoot_unreadableFallsBackToSystemRoot()
    {
        const QString sub1 = m_pics + QStringLiteral("/sub1");
        const Volume unreadable{QStringLiteral("/no-such-morvane-volume"), QStringLiteral("gone")};
        const Volume root = systemRootVolume();
        const Volume here{volumeRootOf(m_pics), {}};
        FileOpenForm form(nullptr, {
                                       unreadable, here, {sub1, QStringLiteral("stick")}
        });
        form.show();
        DriveList *drives = form.driveList();
        QCOMPARE(drives->drive(), here.rootPath);

        drives->setFocus();
        QTest::keyClick(drives, Qt::Key_Down);
        QCOMPARE(drives->drive(), sub1);
        QCOMPARE(form.folderList()->path(), sub1);
        QCOMPARE(listedFiles(form.fileList()), QStringList{QStringLiteral("inner.gif")});

        QTest::keyClick(drives, Qt::Key_Home); // the unreadable one
        // No message: both lists simply move to the system root.
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(drives->drive(), root.rootPath);
        QCOMPARE(form.folderList()->path(), QDir::toNativeSeparators(QDir::rootPath()));
        QCOMPARE(form.fileList()->folder(), QDir::toNativeSeparators(QDir::rootPath()));
        QCOMPARE(QDir::currentPath(), m_pics);
    }

    // The volume of a path is one the system lists as mounted, or the system root's: never a
    // folder that merely lies on one (as Qt 6.8 names it where no mount holds the path).
    void volumeRootIsAMountedVolumeHoldingThePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("the working folder") << m_pics;
        QTest::newRow("a folder in it") << m_pics + QStringLiteral("/sub1");
        QTest::newRow("the temporary folder") << QDir::tempPath();
        QTest::newRow("the system root") << QDir::rootPath();
        QTest::newRow("a path that does not exist") << QStringLiteral("/no-such-morvane-folder/x");
    }
    void volumeRootIsAMountedVolumeHoldingThePath()
    {
        QFETCH(QString, path);
        const QString volume = volumeRootOf(path);
        QStringList known{systemRootVolume().rootPath};
        for (const QStorageInfo &info : QStorageInfo::mountedVolumes())
            known << QDir::toNativeSeparators(info.rootPath());
        QVERIFY2(known.contains(volume), qPrintable(volume + QStringLiteral(" is no volume")));
        const QString holds =
            volume.endsWith(QDir::separator()) ? volume : volume + QDir::separator();
        QVERIFY2(QDir::toNativeSeparators(path + QDir::separator()).startsWith(holds),
                 qPrintable(volume + QStringLiteral(" does not hold ") + path));
    }
};

QTEST_MAIN(FileOpenFormTest)
#include "tst_file_open_form.moc"
