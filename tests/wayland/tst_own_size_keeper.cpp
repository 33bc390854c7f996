// The game's own window size against a compositor's stale answer: a return to the old size just
// after the game sized its window is undone, the steps of the game's own resize are left alone,
// a size someone else chooses stands, and a compositor that insists wins after a few rounds.
// The compositor is played here by resizes from outside the game.
#include "app/OwnSizeKeeper.h"

#include <QTest>
#include <QWidget>

using namespace morvane;

namespace {

const QSize Old(640, 509);
const QSize Own(340, 259);

// A shown window of the old size with a keeper on it, as the main window is after start-up.
struct Window {
    QWidget widget;
    OwnSizeKeeper keeper{&widget};
    Window()
    {
        widget.resize(Old);
        widget.show();
        QCoreApplication::processEvents();
    }
    // The game's resize: width first, then height, as File > Open does it.
    void ownResize()
    {
        const QSize widthFirst(Own.width() + 1, Old.height());
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
        QCOMPARE(w.widget.size(), Own);
        w.widget.resize(Old); // the compositor's answer to the form's closing
        w.settle();
        QCOMPARE(w.widget.size(), Own);
        // A second answer (the next change of focus) is undone as well.
        w.widget.resize(Old);
        w.settle();
        QCOMPARE(w.widget.size(), Own);
    }

    void stepsOfTheGamesOwnResizeAreLeftAlone()
    {
        Window w;
        w.ownResize();
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
