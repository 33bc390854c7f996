// The main window: designed controls, menu and timers, and the window services for the game.
#include "frmMain.h"

#include "MenuBarLetGo.h"
#include "MenuCheckStyle.h"
#include "OwnSizeKeeper.h"
#include "PlayKeys.h"
#include "about/AboutBox.h"
#include "components/BoardArea.h"
#include "components/Colour.h"
#include "components/ErrorGuard.h"
#include "components/PictureBox.h"
#include "components/PieceImage.h"
#include "components/ResizeWatcher.h"
#include "components/RuntimeError.h"
#include "components/Twips.h"
#include "import/CommonOpenDialog.h"
#include "import/DroppedPicture.h"
#include "import/FileOpenForm.h"
#include "import/PictureLoader.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <thread>

namespace morvane {

namespace {

// Designed places of the 18 pieces, in twips; the start-up deal moves every one of them.
struct DesignedPlace {
    int left, top;
};
constexpr DesignedPlace DesignedPieces[18] = {
    {240,  360},
    {1245, 255},
    {1695, 330},
    {2280, 240},
    {2715, 675},
    {2745, 270},
    {3105, 300},
    {3600, 285},
    {4080, 360},
    {1560, 765},
    {4605, 315},
    {5040, 360},
    {5595, 315},
    {6000, 270},
    {90,   780},
    {525,  870},
    {930,  885},
    {810,  315},
};
// The order in which the pieces are created, which is also their stacking order.
constexpr std::array<int, 18> CreationOrder{1,  18, 2,  3,  4,  6,  7,  8,  9,
                                            10, 11, 12, 13, 14, 15, 16, 17, 5};

constexpr const char *LevelCaptions[7] = {
    "Level 1  (Badoer)",     "Level 2  (Switzerland)", "Level 3  (Sussex)", "Level 4  (Sydney)",
    "Level 5  (Lake hotel)", "Level 6  (Calgary)",     "Level 7  (Pula)",
};

} // namespace

frmMain::frmMain(const QString &dataFolder, Random *random)
    : m_random(random ? random : &m_ownRandom),
      // An X server without a compositor leaves what another window uncovers to the program;
      // a Wayland compositor keeps every window's picture itself.
      m_betweenFrames(QGuiApplication::platformName() == QLatin1String("xcb"))
{
    setWindowTitle(QStringLiteral("Morvane - Level 1"));
    setWindowIcon(QIcon(QStringLiteral(":/morvane/icon.png")));
    buildMenu();
    buildControls();
    new MenuBarLetGo(menuBar(), this, m_board);

    GameParts parts;
    parts.host = this;
    parts.board = m_board;
    parts.pieces = m_pieces;
    parts.clipper = &m_clipper;
    parts.preview = m_preview;
    parts.banner = m_banner;
    parts.borderTimer = &m_timBorder;
    parts.random = m_random;
    parts.loadPicture = [](const QString &path) { return loadPicture(path, PictureUse::Own); };
    parts.loadLevelPicture = loadLevelPicture;
    parts.dataFolder = dataFolder;
    m_game = std::make_unique<Game>(parts);
    m_openCommand = std::make_unique<OpenCommand>(*m_game);
    connectEvents();
    setAcceptDrops(true);
    // Only Wayland compositors answer a dialog's closing with a size of their own.
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        m_sizeKeeper = new OwnSizeKeeper(this);
        m_handsFocusToModal = true;
    }
}

void frmMain::changeEvent(QEvent *event)
{
    // A Wayland compositor knows no modal windows: a click on the main window while the About
    // box or the file-open form is open raises the main window over it, and the game, which
    // takes no input then, would look frozen. Give the focus back to the modal window, which
    // the compositor then raises again; queued, so that the request comes after Qt's own
    // requests for the window the click went to.
    if (event->type() == QEvent::ActivationChange && m_handsFocusToModal && isActiveWindow()) {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != this && modal->isVisible()) {
            QTimer::singleShot(0, modal, [modal] {
                if (modal->isVisible())
                    modal->activateWindow();
            });
        }
    }
    QMainWindow::changeEvent(event);
}

void frmMain::dragEnterEvent(QDragEnterEvent *event) { takePictureDrag(*event); }

void frmMain::dragMoveEvent(QDragMoveEvent *event) { takePictureDrag(*event); }

void frmMain::dropEvent(QDropEvent *event)
{
    const QString path = takePictureDrag(*event);
    if (path.isEmpty())
        return;
    // Opened once the drop has returned, so that the program the picture came from is not held
    // in its drag while the board is dealt or a message waits for its OK.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            handle("drop", [this, path] {
                m_openCommand->open(path);
                forgetHoverMovedAway();
            });
        },
        Qt::QueuedConnection);
}

frmMain::~frmMain() = default;

void frmMain::buildMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    m_openAction = file->addAction(QStringLiteral("Open"));
    m_exitAction = file->addAction(QStringLiteral("Exit"));
    QMenu *levels = menuBar()->addMenu(QStringLiteral("&Level"));
    // The menu's own style object lives as long as the menu.
    auto *checkStyle = new MenuCheckStyle;
    checkStyle->setParent(levels);
    levels->setStyle(checkStyle);
    for (int n = 1; n <= 7; ++n) {
        QAction *action = levels->addAction(QString::fromLatin1(LevelCaptions[n - 1]));
        action->setCheckable(true);
        action->setChecked(n == 1);
        m_levelActions[size_t(n - 1)] = action;
    }
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_aboutAction = help->addAction(QStringLiteral("&About"));
}

void frmMain::buildControls()
{
    m_board = new BoardArea(this);
    QPalette palette = m_board->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    m_board->setPalette(palette);
    setCentralWidget(m_board);
    m_board->resize(9600 / TwipsPerPixel, 7350 / TwipsPerPixel);

    m_timHider.setInterval(200);
    m_timMove.setInterval(20);
    // The pulse takes one step per tick and ticks once a frame, so every step is seen. A timer
    // held up by an animation gives one tick afterwards, never a burst to catch up.
    m_timBorder.setTimerType(Qt::PreciseTimer);
    m_timBorder.setInterval(FrameTimerMilliseconds);

    // Created in the designed order, which is also the stacking order, bottom to top.
    m_banner = new PictureBox(m_board);
    m_banner->setPixelGeometry(twipsRectF(765, 5445, 2205, 585));
    m_banner->setBackColor(bgr(255, 255, 255));
    m_banner->setAutoSize(true);
    m_banner->setPicture(QImage(QStringLiteral(":/morvane/banner.png")));
    for (const int index : CreationOrder) {
        auto *piece = new PieceImage(m_board, index);
        const DesignedPlace place = DesignedPieces[size_t(index - 1)];
        piece->setPixelGeometry(twipsRectF(place.left, place.top, 270, index == 4 ? 270 : 195));
        m_pieces[size_t(index - 1)] = piece;
    }
    m_preview = new PictureBox(m_board);
    m_preview->setPixelGeometry(twipsRectF(240, 5445, 345, 600));
    dressPreview(*m_preview);
}

void frmMain::dressPreview(PictureBox &preview)
{
    preview.setBackColor(int32_t(0xC0C0C0));
    preview.setForeColor(int32_t(0x8080FF));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(14.25);
    font.setBold(true);
    preview.setFont(font);
}

// Runs an event handler with the game's handler guard, then fits the fade timer to what the
// handler left. Handlers run one at a time: one that an event starts while painting is delivered
// between two frames of an animation is held, and runs after the handler that runs the
// animation, in the order the events came.
void frmMain::handle(const char *name, const std::function<void()> &handler)
{
    if (m_betweenFrames.delivering()) {
        m_betweenFrames.hold(name, handler);
        return;
    }
    ++m_handlersRunning;
    endHandlerOnError(name, handler);
    --m_handlersRunning;
    fitFadeTimer();
    if (m_handlersRunning == 0)
        for (const BetweenFrames::Held &held : m_betweenFrames.takeHeld())
            handle(held.name, held.handler);
}

void frmMain::connectEvents()
{
    Game &game = *m_game;
    for (PieceImage *piece : m_pieces) {
        connect(piece, &PieceImage::Click, this,
                [this, &game](int i) { handle("click", [&game, i] { game.Click(i); }); });
        connect(piece, &PieceImage::RightClick, this, [this, &game](int i) {
            handle("right click", [&game, i] { game.RightClick(i); });
        });
        connect(piece, &PieceImage::MouseMove, this, [this, &game](int i) {
            handle("mouse move", [&game, i] { game.PieceMouseMove(i); });
        });
    }
    m_board->onBackgroundMouseMove = [this, &game] {
        handle("background mouse move", [&game] { game.BackgroundMouseMove(); });
    };
    m_preview->onClick = [this, &game] {
        handle("preview click", [&game] { game.PreviewClick(); });
    };
    connect(&m_timMove, &QTimer::timeout, this,
            [this, &game] { handle("fade", [&game] { game.MoveTimerTick(); }); });
    connect(&m_timBorder, &QTimer::timeout, this,
            [this, &game] { handle("pulse", [&game] { game.BorderTimerTick(); }); });
    connect(&m_timHider, &QTimer::timeout, this,
            [this, &game] { handle("hider", [&game] { game.HiderTimerTick(); }); });
    for (int n = 1; n <= 7; ++n) {
        QAction *action = m_levelActions[size_t(n - 1)];
        connect(action, &QAction::triggered, this, [this, &game, action, n](bool checked) {
            // The menu toggles the mark by itself; the level command decides where it goes.
            action->setChecked(!checked);
            handle("level", [this, &game, n] {
                game.LevelCommand(n);
                forgetHoverMovedAway();
            });
        });
    }
    connect(m_openAction, &QAction::triggered, this, [this] {
        handle("open", [this] {
            m_openCommand->run();
            forgetHoverMovedAway();
        });
    });
    connect(m_exitAction, &QAction::triggered, this, [&game] { game.ExitCommand(); });
    connect(m_aboutAction, &QAction::triggered, this,
            [this, &game] { handle("about", [&game] { game.AboutCommand(); }); });
}

// A resting game costs nothing: with no glow left to fade, the fade timer sleeps until a
// handler leaves one, be it a mouse move, a click, a level choice or an opened picture.
void frmMain::fitFadeTimer()
{
    const bool needed = m_game->glowLeftToFade();
    if (needed && !m_timMove.isActive())
        m_timMove.start();
    else if (!needed && m_timMove.isActive())
        m_timMove.stop();
}

// A deal puts every piece somewhere new while the mouse rests, and a resting mouse reports no
// move. The piece it last moved over may have gone from under it: that piece is then no longer
// hovered, as if the mouse had moved onto the background, and its glow fades. A piece still
// under the mouse keeps its glow, and no other piece lights until the mouse moves.
void frmMain::forgetHoverMovedAway()
{
    Game &game = *m_game;
    if (game.HoverPiece < 1 || game.HoverPiece > 18)
        return;
    const PieceImage &piece = *m_pieces[size_t(game.HoverPiece - 1)];
    if (!piece.isVisible() || !piece.rect().contains(piece.mapFromGlobal(QCursor::pos())))
        game.BackgroundMouseMove();
}

int frmMain::pieceUnderMouse() const
{
    QWidget *under = m_board->childAt(m_board->mapFromGlobal(QCursor::pos()));
    const auto *piece = qobject_cast<const PieceImage *>(under);
    return piece && piece->isVisible() ? piece->index() : 0;
}

// The keys of keyboard play go to the game; every other key (Alt with a menu's letter among
// them) is left to the window.
void frmMain::keyPressEvent(QKeyEvent *event)
{
    const std::optional<PlayKey> play = playKeyFor(event->key(), event->modifiers());
    if (!play) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    Game &game = *m_game;
    switch (play->action) {
    case PlayKey::Action::Arrow:
        handle("arrow key", [this, &game, arrow = play->arrow] {
            game.KeyboardArrow(arrow, pieceUnderMouse());
        });
        break;
    case PlayKey::Action::Click: handle("click key", [&game] { game.KeyboardClick(); }); break;
    case PlayKey::Action::RightClick:
        handle("right click key", [&game] { game.KeyboardRightClick(); });
        break;
    case PlayKey::Action::LetGo: handle("let go key", [&game] { game.KeyboardLetGo(); }); break;
    }
}

void frmMain::start()
{
    handle("start-up", [this] { m_game->Startup(); });
    m_timHider.start();
}

void frmMain::redrawWindow()
{
    // Paints, at once, everything that changed since the last frame and nothing else: a step
    // of an animation usually moves one or two pieces. What another window uncovered is painted
    // too, also in a step too late to sleep.
    m_betweenFrames.deliverPainting();
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
}

std::chrono::nanoseconds frmMain::clockNow() const
{
    return std::chrono::steady_clock::now().time_since_epoch();
}

void frmMain::sleepUntil(std::chrono::nanoseconds deadline)
{
    // The frame just drawn is on the screen; so, now, is whatever another window uncovered.
    m_betweenFrames.deliverPainting();
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline)));
}

void frmMain::clearWindowDrawing() {}

void frmMain::setCaption(const QString &caption) { setWindowTitle(caption); }

void frmMain::setLevelChecked(int level, bool checked)
{
    if (level < 1 || level > 7)
        raiseError(ErrorNumber::SubscriptOutOfRange, "no such level item");
    m_levelActions[size_t(level - 1)]->setChecked(checked);
}

int frmMain::menuHeight() const
{
    const int laidOut = height() - m_board->height();
    return laidOut > 0 && m_board->isVisible() ? laidOut : menuBar()->sizeHint().height();
}

int frmMain::outerWidthTwips() const { return outerWidthTwipsForBoard(m_board->width()); }

int frmMain::outerHeightTwips() const { return outerHeightTwipsForBoard(m_board->height()); }

void frmMain::setBoardSize(QSize board)
{
    const QSize window(std::max(board.width(), 1), std::max(board.height(), 1) + menuHeight());
    // Shown or not: only a size the game gave counts as stale when the compositor restates it.
    if (m_sizeKeeper)
        m_sizeKeeper->ownResize(size(), window);
    resize(window);
    // A window that is not shown yet gets its size now, not at the next show.
    if (!isVisible())
        m_board->resize(board);
}

void frmMain::setOuterWidthTwips(int twips)
{
    setBoardSize(QSize(boardWidthForOuterTwips(twips), m_board->height()));
}

void frmMain::setOuterHeightTwips(int twips)
{
    setBoardSize(QSize(m_board->width(), boardHeightForOuterTwips(twips)));
}

bool frmMain::isMinimised() const { return isMinimized(); }

void frmMain::showWindow() { show(); }

void frmMain::attachResizeWatcher()
{
    if (!m_resizeWatcher) {
        m_resizeWatcher = new ResizeWatcher(m_board, this, [this](int width, int height) {
            handle("resize", [this, width, height] { m_game->Resize(width, height); });
        });
    }
}

void frmMain::showNormalState()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        showNormal();
}

QSize frmMain::screenSizeTwips() const
{
    const QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize pixels = where ? where->geometry().size() : QSize(1024, 768);
    return pixels * TwipsPerPixel;
}

int frmMain::messageBox(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
    // A file name is shown as it is: never read as markup, its spaces kept.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1;
}

QString frmMain::chooseFileWithForm() { return runFileOpenForm(this); }

bool frmMain::chooseFileWithDialog(QString &fileName)
{
    return runCommonOpenDialog(this, fileName);
}

void frmMain::showAbout() { runAboutBox(this, windowIcon()); }

void frmMain::exitProgram()
{
    m_timHider.stop();
    m_timMove.stop();
    m_timBorder.stop();
    QCoreApplication::exit(0);
}

} // namespace morvane
