// The game without its main window: the real board components and the fake host on its own,
// recording what the game asks of the window, so that the rules of play run in milliseconds and
// an animation's steps can be counted.
#pragma once

#include "FakeHost.h"
#include "GameData.h"

#include "app/frmMain.h"
#include "components/BoardArea.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"
#include "components/ResizeWatcher.h"
#include "components/Twips.h"
#include "game/FramePacer.h"
#include "game/Game.h"
#include "game/Host.h"
#include "import/OpenCommand.h"
#include "import/PictureLoader.h"

#include <QSize>
#include <QTimer>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

namespace morvane::test {

class RecordingHost : public FakeHost<Host> {
public:
    explicit RecordingHost(BoardArea &board) : m_board(board) {}

    QString caption;
    std::array<bool, 7> levelChecked{};
    int platform = 2;
    QSize screenPixels{1280, 1024};
    // Where the board's size changes are reported once the game attaches its watcher.
    std::function<void(int width, int height)> onResize;

    void clearWindowDrawing() override {}
    void setCaption(const QString &text) override { caption = text; }
    void setLevelChecked(int level, bool checked) override
    {
        levelChecked.at(size_t(level - 1)) = checked;
    }
    int outerWidthTwips() const override { return outerWidthTwipsForBoard(m_board.width()); }
    int outerHeightTwips() const override { return outerHeightTwipsForBoard(m_board.height()); }
    void setOuterWidthTwips(int twips) override
    {
        m_board.resize(std::max(boardWidthForOuterTwips(twips), 1), m_board.height());
    }
    void setOuterHeightTwips(int twips) override
    {
        m_board.resize(m_board.width(), std::max(boardHeightForOuterTwips(twips), 1));
    }
    bool isMinimised() const override { return false; }
    // The board stands for the window: shown, so that its pieces can be seen.
    void showWindow() override { m_board.show(); }
    void attachResizeWatcher() override
    {
        // The board owns its watcher, as in the main window.
        if (!m_watcher)
            m_watcher = new ResizeWatcher(&m_board, &m_board, [this](int w, int h) {
                if (onResize)
                    onResize(w, h);
            });
    }
    void showNormalState() override {}
    QSize screenSizeTwips() const override { return screenPixels * TwipsPerPixel; }
    int platformId() const override { return platform; }

private:
    BoardArea &m_board;
    ResizeWatcher *m_watcher = nullptr;
};

// Own pictures load as the main window loads them: shrunk to what the board holds.
inline QImage ownPicture(const QString &path) { return loadPicture(path, PictureUse::Own); }

// The game over real components and a recording host, built as the main window builds it.
class RecordedGame {
public:
    explicit RecordedGame(const QString &dataFolder, Random *random = nullptr)
        : m_random(random ? random : &m_ownRandom)
    {
        m_board.resize(9600 / TwipsPerPixel, 7350 / TwipsPerPixel);
        m_timBorder.setTimerType(Qt::PreciseTimer);
        m_timBorder.setInterval(FrameTimerMilliseconds);
        m_banner = new PictureBox(&m_board);
        m_banner->setAutoSize(true);
        m_banner->setPicture(QImage(QStringLiteral(":/morvane/banner.png")));
        for (int index = 1; index <= 18; ++index)
            m_pieces[size_t(index - 1)] = new PieceImage(&m_board, index);
        m_preview = new PictureBox(&m_board);
        frmMain::dressPreview(*m_preview);

        m_game = std::make_unique<Game>(GameParts{.host = &host,
                                                  .board = &m_board,
                                                  .pieces = m_pieces,
                                                  .clipper = &m_clipper,
                                                  .preview = m_preview,
                                                  .banner = m_banner,
                                                  .borderTimer = &m_timBorder,
                                                  .random = m_random,
                                                  .loadPicture = ownPicture,
                                                  .loadLevelPicture = loadLevelPicture,
                                                  .dataFolder = dataFolder});
        m_open = std::make_unique<OpenCommand>(*m_game);
        host.onResize = [this](int width, int height) { m_game->Resize(width, height); };
    }

    RecordingHost host{m_board};

    void start() { m_game->Startup(); }
    Game &game() { return *m_game; }
    OpenCommand &openCommand() { return *m_open; }
    BoardArea &board() { return m_board; }
    PieceImage &piece(int index) { return *m_pieces.at(size_t(index - 1)); }
    PictureBox &preview() { return *m_preview; }
    PictureBox &banner() { return *m_banner; }
    PictureClip &clipper() { return m_clipper; }
    QTimer &timBorder() { return m_timBorder; }
    int pieceRedraws()
    {
        int total = 0;
        for (const PieceImage *piece : m_pieces)
            total += piece->redrawCount();
        return total;
    }

private:
    Random m_ownRandom;
    Random *m_random;
    BoardArea m_board;
    std::array<PieceImage *, 18> m_pieces{};
    PictureBox *m_preview = nullptr;
    PictureBox *m_banner = nullptr;
    PictureClip m_clipper;
    QTimer m_timBorder;
    std::unique_ptr<Game> m_game;
    std::unique_ptr<OpenCommand> m_open;
};

} // namespace morvane::test
