// The game's own window size against a compositor's stale answer: a return to the old size just
// after the game sized its window is undone, before the window's widgets lay anything out for
// it; the steps of the game's own resize are left alone, a size someone else chooses stands, an
// old size the game did not give is never taken for stale, and a compositor that insists wins
// after a few rounds. The compositor is played here by resizes from outside the game, through
// the window system where it matters, as a configure arrives on Wayland.
#include "app/OwnSizeKeeper.h"

#include <QResizeEvent>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <QWindow>

using namespace morvane;

namespace {

const QSize Old(640, 509);
const QSize Own(340, 259);

// Records the sizes a widget is resized to: each one lays the board out.
class SizeRecorder : public QObject {
public:
    SizeRecorder(QWidget *widget, QList<QSize> &sizes) : m_sizes(sizes)
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_sizes.append(static_cast<QResizeEvent *>(event)->size());
        return false;
    }

private:
    QList<QSize> &m_sizes;
};

// A shown window of the old size with a keeper on it, as the main window is after start-up.
struct Window {
    QWidget widget;
    OwnSizeKeeper keeper{&widget};
    // Every size the window's widgets were given, in order.
    QList<QSize> sizes;
    SizeRecorder recorder{&widget, sizes};

    // The game sizes its window before showing it, and tells the keeper, as at start-up.
    Window()
    {
        keeper.ownResize(widget.size(), Old);
        widget.resize(Old);
        widget.show();
        QCoreApplication::processEvents();
        sizes.clear();
    }
    // The compositor gives the window a size: through the window system, as a configure does.
    void compositor(QSize size)
    {
        widget.windowHandle()->resize(size);
        settle();
    }
    // The game's resize: width first, then height, as File > Open does it.
    void ownResize()
    {
        const QSize widthFirst(Own.width() + 1, widget.height());
        keeper.ownResize(widget.size(), widthFirst);
        widget.resize(widthFirst);
        keeper.ownResize(widget.size(), Own);
        widget.resize(Own);
    }
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

} // namespace

class OwnSizeKeeperTest : public QObject {
    Q_OBJECT

private slots:
    void staleOldSizeIsUndone()
    {
        Window w;
        w.ownResize();
        QVERIFY(w.keeper.pending()); // it watches for a stale answer
        w.widget.resize(Old);        // the compositor's answer to the form's closing
        w.settle();
        QCOMPARE(w.widget.size(), Own);
        // A second answer (the next change of focus) is undone as well.
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Own);
    }

    void staleAnswerAfterALongAnimationIsUndone()
    {
        Window w;
        w.ownResize();
        // File > Open deals the new level at once: the animation holds the event loop longer
        // than the stale window, and the compositor's answer is handled only afterwards.
        QThread::msleep(OwnSizeKeeper::StaleWithinMs + 500);
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Own);
    }

    void stepAppliedWhileTheGameWasBusyIsUndone()
    {
        Window w;
        w.ownResize();
        // Painting a step of the deal applied the compositor's size for the first step (or
        // its stale answer) without a resize the keeper could see: once events flow again,
        // the window has the game's size.
        w.widget.resize(QSize(Own.width() + 1, Old.height()));
        w.settle();
        QCOMPARE(w.widget.size(), Own);
        w.ownResize();
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Own);
    }

    void staleWindowEndsWhileTheGameRests()
    {
        Window w;
        w.ownResize();
        w.settle();
        // The game handled its events and then rested past the window: the old size is the
        // compositor's (or the user's) own choice now.
        QTest::qWait(OwnSizeKeeper::StaleWithinMs + 500);
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Old);
        QVERIFY(!w.keeper.pending());
    }

    void stepsOfTheGamesOwnResizeAreLeftAlone()
    {
        Window w;
        w.ownResize();
        w.settle();
        // Qt on Wayland reports the intermediate step again once the compositor has it.
        w.widget.resize(QSize(Own.width() + 1, Old.height()));
        w.settle();
        QCOMPARE(w.widget.size(), QSize(Own.width() + 1, Old.height()));
        QVERIFY(w.keeper.pending());
        w.widget.resize(Own);
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Own);
    }

    void anotherSizeStands()
    {
        Window w;
        w.ownResize();
        w.widget.resize(800, 600); // the user drags the window's edge
        w.settle();
        QCOMPARE(w.widget.size(), QSize(800, 600));
        QVERIFY(!w.keeper.pending());
        // And later the old size is the user's choice too.
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Old);
    }

    void insistingCompositorWins()
    {
        Window w;
        w.ownResize();
        // A tiled window: every size the game sets is answered with the tile's size.
        for (int round = 0; round <= OwnSizeKeeper::MaxRestores; ++round) {
            w.widget.resize(Old);
            w.settle();
        }
        QVERIFY(!w.keeper.pending());
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Old);
    }

    // The compositor's stale answers, sent through the window system as on Wayland, are undone
    // before the window's widgets see them: the board is laid out once for each of the game's
    // sizes, never for the stale one, and never again for the game's own.
    void staleAnswersNeverReachTheWidgets_data()
    {
        QTest::addColumn<int>("answers");
        QTest::addColumn<int>("busyMs"); // how long the game holds its event loop first
        QTest::newRow("one answer") << 1 << 0;
        QTest::newRow("an answer at each change of focus") << OwnSizeKeeper::MaxRestores << 0;
        QTest::newRow("after a long animation") << 1 << OwnSizeKeeper::StaleWithinMs + 500;
    }
    void staleAnswersNeverReachTheWidgets()
    {
        QFETCH(int, answers);
        QFETCH(int, busyMs);
        Window w;
        w.ownResize();
        QThread::msleep(busyMs);
        w.settle(); // the answers come after Qt's reports of the game's own sizes
        for (int i = 0; i < answers; ++i)
            w.compositor(Old);
        QCOMPARE(w.widget.size(), Own);
        QCOMPARE(w.widget.windowHandle()->size(), Own);
        QCOMPARE(w.sizes, (QList<QSize>{QSize(Own.width() + 1, Old.height()), Own}));
    }

    // A size the window had from the compositor or the player before the game's resize comes
    // back as the compositor's answer: it cannot be told from a tiled window's size, which the
    // compositor insists on, and it stands.
    void aSizeTheGameDidNotGiveStands_data()
    {
        QTest::addColumn<QSize>("given");
        QTest::newRow("tiled") << QSize(1280, 900);
        QTest::newRow("edge dragged before") << QSize(800, 600);
    }
    void aSizeTheGameDidNotGiveStands()
    {
        QFETCH(QSize, given);
        Window w;
        w.compositor(given);
        QCOMPARE(w.widget.size(), given);
        w.ownResize();
        w.settle();
        w.compositor(given);
        QCOMPARE(w.widget.size(), given);
        QVERIFY(!w.keeper.pending());
        QCOMPARE(w.sizes,
                 (QList<QSize>{given, QSize(Own.width() + 1, given.height()), Own, given}));
    }

    void withoutOwnResizeNothingIsKept()
    {
        Window w;
        w.widget.resize(Own);
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Old);
    }
};

QTEST_MAIN(OwnSizeKeeperTest)
#include "tst_own_size_keeper.moc"
