// The common open dialog: its title and filter, opening on the previous name, a choice and a
// cancel.
#include "import/CommonOpenDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace morvane;

namespace {
// Runs `step` on the dialog once it is up, and closes it if the step left it open.
void whenModal(std::function<void(QFileDialog *)> step)
{
    QTimer::singleShot(0, [step] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        step(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}
} // namespace

class CommonOpenDialogTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString m_first;
    QString m_second;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_first = m_folder.filePath(QStringLiteral("first.bmp"));
        m_second = m_folder.filePath(QStringLiteral("second.jpg"));
        for (const QString &path : {m_first, m_second}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void titleAndFilter()
    {
        CommonOpenDialog dialog(nullptr, QString());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Open"));
        QCOMPARE(dialog.nameFilters(),
                 QStringList{QStringLiteral("Image files (*.jpg *.jpeg *.bmp *.gif *.wmf *.emf "
                                            "*.dib *.png *.webp *.tif *.tiff *.heic *.heif *.avif "
                                            "*.jxl)")});
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    }

    void filterShowsEveryPictureType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("shown");
        for (const char *name : {"photo.JPG", "bare.dib", "shot.png", "SHOT.PNG", "download.webp",
                                 "scan.Tif", "scan.tiff", "phone.HEIC", "web.avif", "photo.jxl"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        for (const char *name : {"vector.svg", "notes.txt"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }

    void filterShowsEveryPictureType()
    {
        // What the dialog's list shows under its one filter, read from its own view.
        QFETCH(QString, name);
        QFETCH(bool, shown);
        QTemporaryDir folder;
        // A bitmap beside it is always shown: once it is, the folder has been read.
        for (const QString &each : {name, QStringLiteral("shown.bmp")}) {
            QFile file(folder.filePath(each));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        CommonOpenDialog dialog(nullptr, QString());
        dialog.setDirectory(folder.path());
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        const QModelIndex root = model->index(folder.path());
        QTRY_VERIFY(model->rowCount(root) > 0);
        // The model keeps a filtered-out file as a disabled row, or leaves it out.
        const QModelIndex row = model->index(folder.filePath(name));
        const bool visible = row.isValid() && (model->flags(row) & Qt::ItemIsEnabled);
        QCOMPARE(visible, shown);
    }

    void opensOnThePreviousName()
    {
        CommonOpenDialog dialog(nullptr, m_first);
        QCOMPARE(dialog.directory().absolutePath(), m_folder.path());
        QCOMPARE(dialog.selectedFiles(), QStringList{m_first});
    }

    void choiceIsStoredInTheFileName()
    {
        QString fileName = m_first;
        whenModal([this](QFileDialog *dialog) {
            QCOMPARE(dialog->selectedFiles(), QStringList{m_first});
            dialog->selectFile(m_second);
            QTest::keyClick(dialog, Qt::Key_Return); // the Open button
        });
        QVERIFY(runCommonOpenDialog(nullptr, fileName));
        QCOMPARE(fileName, m_second);
    }

    void cancelReturnsFalseAndKeepsTheName()
    {
        QString fileName = m_first;
        whenModal([](QFileDialog *dialog) { dialog->close(); });
        QVERIFY(!runCommonOpenDialog(nullptr, fileName));
        QCOMPARE(fileName, m_first);

        whenModal([this](QFileDialog *dialog) {
            dialog->selectFile(m_second);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!runCommonOpenDialog(nullptr, fileName));
        QCOMPARE(fileName, m_first);
    }
};

QTEST_MAIN(CommonOpenDialogTest)
#include "tst_common_open_dialog.moc"
