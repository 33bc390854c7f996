// The About box: its caption on every showing, Enter and Esc, the how-to-play text, its fonts,
// colours and designed places.
#include "about/AboutBox.h"
#include "about/TitleFont.h"

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using namespace morvane;

namespace {
QIcon redIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

QStringList labelTexts(const QWidget *box)
{
    QStringList texts;
    for (const QLabel *label : box->findChildren<QLabel *>())
        texts << label->text();
    return texts;
}
} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void captionOnEveryShowing_modalOverOwner()
    {
        QWidget owner;
        owner.show();
        QStringList captions;
        for (int showing = 0; showing < 2; ++showing) {
            QTimer::singleShot(0, [&] {
                QWidget *box = QApplication::activeModalWidget();
                QVERIFY(box);
                captions << box->windowTitle();
                QCOMPARE(box->parentWidget(), &owner);
                // Owned and modal in the window system's own terms, which place it over its
                // owner: a transient window of the owner's, modal to the whole game.
                QVERIFY(box->windowHandle());
                QCOMPARE(box->windowHandle()->transientParent(), owner.windowHandle());
                QCOMPARE(box->windowHandle()->modality(), Qt::ApplicationModal);
                box->close();
            });
            runAboutBox(&owner, redIcon());
        }
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("About Morvane"), QStringLiteral("About Morvane")}));
    }

    void enterAndEscClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("focusOnHelp");
        QTest::newRow("Enter") << int(Qt::Key_Return) << false;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
        QTest::newRow("Enter in the help text") << int(Qt::Key_Return) << true;
        QTest::newRow("Esc in the help text") << int(Qt::Key_Escape) << true;
    }

    void enterAndEscClose()
    {
        QFETCH(int, key);
        QFETCH(bool, focusOnHelp);
        AboutBox box(nullptr, redIcon());
        box.show();
        QVERIFY(box.okButton()->isDefault());
        QCOMPARE(box.focusWidget(), box.okButton());
        QWidget *target = focusOnHelp ? static_cast<QWidget *>(box.helpBox()) : box.okButton();
        target->setFocus();
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(target, Qt::Key(key), modifiers);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.helpBox()->toPlainText(), AboutBox::howToPlay().remove(QLatin1Char('\r')));
    }

    void howToPlayShowsThreeLinesAndAnEmptyFourth()
    {
        AboutBox box(nullptr, redIcon());
        const QTextDocument *text = box.helpBox()->document();
        QCOMPARE(text->blockCount(), 4);
        QCOMPARE(text->findBlockByNumber(0).text(), QStringLiteral("HOW TO PLAY:"));
        QCOMPARE(text->findBlockByNumber(1).text(), QStringLiteral("Use the mouse clicks."));
        QCOMPARE(text->findBlockByNumber(2).text(),
                 QStringLiteral("After level 2 you should use right mouse button."));
        QCOMPARE(text->findBlockByNumber(3).text(), QString());
        QVERIFY(box.helpBox()->isReadOnly());
        QCOMPARE(box.helpBox()->palette().color(QPalette::Base),
                 QApplication::palette("QMenu").color(QPalette::Window));
    }

    void howToPlayLinesShowUnwrapped()
    {
        AboutBox box(nullptr, redIcon());
        box.show();
        const QPlainTextEdit *help = box.helpBox();
        const QFontMetrics metrics(help->font());
        for (int line = 0; line < 3; ++line) {
            const QTextBlock block = help->document()->findBlockByNumber(line);
            QCOMPARE(block.lineCount(), 1);
            QVERIFY(help->viewport()->width() > metrics.horizontalAdvance(block.text()));
        }
        // Four line positions, the last one empty, fit without scrolling.
        QVERIFY(help->viewport()->height() >= 4 * metrics.lineSpacing());
    }

    void labelsAndTitle()
    {
        AboutBox box(nullptr, redIcon());
        const QStringList texts = labelTexts(&box);
        for (const char *wanted : {"Morvane", "Version 1.3", "The puzzle game"})
            QVERIFY2(texts.contains(QString::fromLatin1(wanted)), wanted);
        // The credit line is the one label left besides the icon.
        QCOMPARE(texts.size(), 5);
        QCOMPARE(box.titleLabel()->text(), QStringLiteral("Morvane"));
        const QFontInfo title(box.titleLabel()->font());
        QCOMPARE(title.pointSize(), 24);
        QCOMPARE(title.weight(), int(QFont::Normal));
        QVERIFY(title.pointSize() > QFontInfo(box.okButton()->font()).pointSize());
    }

    void titleFontFallsBackToAnInstalledFamily()
    {
        QCOMPARE(
            firstInstalledFamily({QStringLiteral("No Such Face 7"), QStringLiteral("DejaVu Sans")}),
            QStringLiteral("DejaVu Sans"));
        QCOMPARE(firstInstalledFamily({QStringLiteral("No Such Face 7")}),
                 QGuiApplication::font().family());
        QVERIFY(QFontDatabase::families().contains(titleFont().family(), Qt::CaseInsensitive));
    }

    void fixedDialogAtItsDesignedSize()
    {
        AboutBox box(nullptr, redIcon());
        QCOMPARE(box.minimumSize(), QSize(382, 286));
        QCOMPARE(box.maximumSize(), QSize(382, 286));
        QVERIFY(
            !(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(box.okButton()->geometry(), QRect(137, 239, 84, 23));
        // The help box sits at its designed place and is at least its designed size.
        QCOMPARE(box.helpBox()->pos(), QPoint(71, 167));
        QVERIFY(box.helpBox()->width() >= 233 && box.helpBox()->height() >= 55);
        QVERIFY(box.rect().contains(box.helpBox()->geometry()));
        QVERIFY(!box.helpBox()->geometry().intersects(box.okButton()->geometry()));
        QCOMPARE(box.titleLabel()->pos(), QPoint(70, 16));
        const QPixmap icon = box.iconLabel()->pixmap();
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.toImage().pixelColor(16, 16), QColor(Qt::red));
        QCOMPARE(box.iconLabel()->geometry(), QRect(16, 16, 32, 32));
    }
};

QTEST_MAIN(AboutBoxTest)
#include "tst_about_box.moc"
