// The main window: the board, its pieces and picture boxes, the menu, the three timers, and
// the window side of the game (painting, pausing, sizes, modal windows).
#pragma once

#include "BetweenFrames.h"
#include "game/Game.h"
#include "game/Host.h"
#include "game/Random.h"
#include "components/PictureClip.h"
#include "import/OpenCommand.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QKeyEvent;

namespace morvane {

class BoardArea;
class PictureBox;
class PieceImage;
class OwnSizeKeeper;
class ResizeWatcher;

class frmMain : public QMainWindow, public Host {
    Q_OBJECT

public:
    // `dataFolder` holds the level files; `random` replaces the game's generator (tests).
    explicit frmMain(const QString &dataFolder, Random *random = nullptr);
    ~frmMain() override;

    // Runs the start-up: sizes, level picture, level table, shows the window, deals level 1.
    void start();
    // Gives the finished picture's box its colours and the font its words are printed in; the
    // tests that build the game without this window dress their box the same way.
    static void dressPreview(PictureBox &preview);

    Game &game() { return *m_game; }
    OpenCommand &openCommand() { return *m_openCommand; }
    BoardArea &board() { return *m_board; }
    PieceImage &piece(int index) { return *m_pieces.at(size_t(index - 1)); }
    PictureBox &preview() { return *m_preview; }
    PictureBox &banner() { return *m_banner; }
    PictureClip &clipper() { return m_clipper; }
    QTimer &timMove() { return m_timMove; }
    QTimer &timBorder() { return m_timBorder; }
    QTimer &timHider() { return m_timHider; }
    QAction *levelAction(int n) const { return m_levelActions.at(size_t(n - 1)); }
    QAction *openAction() const { return m_openAction; }
    QAction *exitAction() const { return m_exitAction; }
    QAction *aboutAction() const { return m_aboutAction; }
    void setPlatformId(int id) { m_platformId = id; }
    BetweenFrames &betweenFrames() { return m_betweenFrames; }

    // Host
    void redrawWindow() override;
    std::chrono::nanoseconds clockNow() const override;
    void sleepUntil(std::chrono::nanoseconds deadline) override;
    void clearWindowDrawing() override;
    void setCaption(const QString &caption) override;
    void setLevelChecked(int level, bool checked) override;
    int outerWidthTwips() const override;
    int outerHeightTwips() const override;
    void setOuterWidthTwips(int twips) override;
    void setOuterHeightTwips(int twips) override;
    bool isMinimised() const override;
    void showWindow() override;
    void attachResizeWatcher() override;
    void showNormalState() override;
    QSize screenSizeTwips() const override;
    int messageBox(const QString &text, const QString &title) override;
    QString chooseFileWithForm() override;
    bool chooseFileWithDialog(QString &fileName) override;
    int platformId() const override { return m_platformId; }
    void showAbout() override;
    void exitProgram() override;

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // A picture file dropped on the window opens as File > Open opens a chosen file.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenu();
    void buildControls();
    void connectEvents();
    void setBoardSize(QSize board);
    // The fade timer runs while some glow is left to fade, and sleeps otherwise: decided after
    // every handler, whatever the handler changed.
    void fitFadeTimer();
    // After a new deal: a hovered piece that is no longer under the resting mouse is no longer
    // hovered, so that its glow fades like any other.
    void forgetHoverMovedAway();
    int menuHeight() const;
    // The piece under the mouse, or 0: where the keyboard cursor starts.
    int pieceUnderMouse() const;
    // Runs an event handler; an error ends that handler only (endHandlerOnError).
    // Afterwards the fade timer is fitted to what the handler left. A handler that an event
    // starts between two frames of an animation waits until the animation's handler has ended.
    void handle(const char *name, const std::function<void()> &handler);

    Random m_ownRandom;
    Random *m_random;
    BoardArea *m_board = nullptr;
    std::array<PieceImage *, 18> m_pieces{};
    PictureBox *m_preview = nullptr; // Picture1
    PictureBox *m_banner = nullptr;  // Picture2
    PictureClip m_clipper;           // PicClip1
    QTimer m_timHider;
    QTimer m_timMove;
    QTimer m_timBorder;
    ResizeWatcher *m_resizeWatcher = nullptr; // ZADResize1
    OwnSizeKeeper *m_sizeKeeper = nullptr;    // Wayland only
    bool m_handsFocusToModal = false;         // Wayland only
    std::array<QAction *, 7> m_levelActions{};
    QAction *m_openAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_aboutAction = nullptr;
    int m_platformId = 2;
    BetweenFrames m_betweenFrames;
    int m_handlersRunning = 0;
    std::unique_ptr<Game> m_game;
    std::unique_ptr<OpenCommand> m_openCommand;
};

} // namespace morvane
