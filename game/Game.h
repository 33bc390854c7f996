// The game: its state and every procedure of play (deal, level choice, select and swap, turn,
// completion, highlights, hider, board layout). It works on the real board components and
// reaches the window, the clock and modal windows through a Host. File > Open sits above the
// game (import/OpenCommand) and drives it through these public procedures.
#pragma once

#include "FramePacer.h"
#include "KeyboardCursor.h"
#include "LevelTable.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QImage;
class QTimer;

namespace morvane {

class BoardArea;
class Host;
class PictureBox;
class PictureClip;
class PieceImage;
class Random;

// Loads a picture file; raises a RuntimeError when the file yields no picture.
using PictureLoader = std::function<QImage(const QString &path)>;

struct GameParts {
    Host *host = nullptr;
    BoardArea *board = nullptr;
    std::array<PieceImage *, 18> pieces{}; // ZAD(1) .. ZAD(18)
    PictureClip *clipper = nullptr;        // PicClip1
    PictureBox *preview = nullptr;         // Picture1
    PictureBox *banner = nullptr;          // Picture2
    QTimer *borderTimer = nullptr;         // timBorder
    Random *random = nullptr;
    PictureLoader loadPicture;      // own pictures, shrunk to what the board holds
    PictureLoader loadLevelPicture; // level pictures, used at their size
    QString dataFolder;             // the folder of the executable, where the level files lie
};

class Game {
public:
    explicit Game(const GameParts &parts);

    // --- State of the main window ---------------------------------------------------------
    int SelectedPiece = 0;
    int TargetPiece = 0;
    // The one loop counter shared by every counted loop of the window. It also carries the
    // banners' fractional animation parameter, so it holds a double.
    double LoopCounter = 0;
    int CurrentLevel = 0;
    uint8_t HoverPiece = 0;
    int16_t BorderPhase = 0;
    bool PuzzleSolved = false;
    morvane::LevelTable LevelTable;

    // --- Handlers and procedures ----------------------------------------------------------
    void Startup();             // the window's load
    void ExitCommand();         // File > Exit
    void BackgroundMouseMove(); // mouse over the board's own background
    void DealLevel();
    void SelectTile(uint8_t tile);
    void LevelCommand(int n); // Levels > Level n
    void Click(int index);    // left click on piece `index`
    void SwapPieces();
    void RightClick(int index); // right click on piece `index`
    void CheckCompletion();
    void PieceMouseMove(int index); // the mouse over piece `index`
    void MoveTimerTick();           // timMove: the hover fade
    void BorderTimerTick();         // timBorder: the selection pulse
    void HiderTimerTick();          // timHider: hidden pieces
    // Whether some glow is left for the fade to take down: the fade timer need not run
    // while there is none.
    bool glowLeftToFade() const;
    void Resize(int innerWidth, int innerHeight);
    void PreviewClick(); // click on the finished picture
    void AboutCommand(); // Help > About

    // --- Keyboard play: the keyboard cursor is the hover ----------------------------------
    // An arrow moves the hover to the place beside it; with nothing hovered, it hovers the
    // piece under the mouse (`pieceUnderMouse`, 0 for none) or else place 1.
    void KeyboardArrow(ArrowKey arrow, int pieceUnderMouse);
    void KeyboardClick();      // Space, Enter: a left click on the hovered piece
    void KeyboardRightClick(); // Shift+Space, Shift+F10, Menu: a right click on it
    void KeyboardLetGo();      // Escape: lets go of the selection

    // Lays the board out for the board area's real size in pixels. Used after every deal, so
    // that the places a move returns to are in the units the moves use.
    void layoutBoardForWindow();

    PieceImage &ZAD(long long index) const;
    const GameParts &parts() const { return m_parts; }
    // The pacing of the animations' steps, one frame each.
    const FramePacer &frames() const { return m_frames; }

    // The text of the message shown when a picture file cannot be loaded.
    static QString loadErrorText(const QString &fileName);
    static QString levelFileName(int n);

private:
    // Sets the window to its start-up size, height first; a side that fails is skipped.
    void useStartupSize();
    // Gives the board a user scale of the picture with its 20-unit margin on every side.
    void scaleBoardToPicture();
    // Ends the selection's mark and pulse (the selected piece itself is left to the caller).
    void unmarkSelectedPiece();
    // Sets a piece's height, left, top and width to a place's rectangle, in that order.
    static void putOnPlace(PieceImage &piece, const PieceRecord &place);
    void dealEntryAnimation(int level);
    void slidePieces(int s, int t);
    void shrinkAndGrowPieces(int s, int t);
    void exchangeContents(int s, int t);
    void turnPiece(PieceImage &piece, bool aboutVerticalLine, int level);
    void drawFinishedPicture();
    void risingBanner();
    void slidingBanner();
    void bannerFrame(double left, double top, double width, double height);
    void drawBanner(double left, double top, double width, double height);
    void hidePiece(PieceImage &piece, int32_t count);
    bool glowFades(int piece) const;
    void redrawWindow();
    // Every animation starts its count of frames, and ends each step with pause().
    void startAnimation();
    void pause();

    GameParts m_parts;
    FramePacer m_frames;
};

} // namespace morvane
