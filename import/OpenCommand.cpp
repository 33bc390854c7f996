// File > Open: a picture of the player's own becomes level 0, cut like a random built-in
// level and shuffled afresh.
#include "OpenCommand.h"

#include "OwnLevel.h"
#include "game/Game.h"
#include "game/Host.h"
#include "game/Random.h"
#include "components/BoardArea.h"
#include "components/PictureClip.h"
#include "components/RuntimeError.h"

#include <QImage>

namespace morvane {

namespace {
constexpr int NtPlatform = 2;
// Below this a picture cannot be cut into 18 tiles that each keep at least one pixel.
constexpr int MinOwnPictureSide = 16;
} // namespace

void OpenCommand::run()
{
    Host &host = *m_game.parts().host;
    // The chosen path travels in the dialog's file name; empty means nothing was chosen.
    QString &fileName = m_fileName;
    if (host.platformId() == NtPlatform) {
        fileName.clear();
        fileName = host.chooseFileWithForm();
        if (fileName.isEmpty())
            return;
    } else if (!host.chooseFileWithDialog(fileName)) {
        return;
    }
    openChosen();
}

void OpenCommand::open(const QString &path)
{
    // Chosen another way, but handed over in the same slot: the common dialog then starts on
    // this picture too.
    m_fileName = path;
    openChosen();
}

void OpenCommand::openChosen()
{
    Game &game = m_game;
    const GameParts &parts = game.parts();
    Host &host = *parts.host;
    PictureClip &clipper = *parts.clipper;
    const QString &fileName = m_fileName;

    try {
        const QImage picture = parts.loadPicture(fileName);
        if (picture.width() < MinOwnPictureSide || picture.height() < MinOwnPictureSide)
            raiseError(ErrorNumber::InvalidPicture, "picture too small to cut");
        clipper.setPicture(picture);
    } catch (const std::exception &) {
        host.messageBox(Game::loadErrorText(fileName), QStringLiteral("Bad Image File"));
        return;
    }

    for (game.LoopCounter = 1; game.LoopCounter <= 7; ++game.LoopCounter)
        host.setLevelChecked(int(game.LoopCounter), false);

    Random &random = *parts.random;
    random.reseedFromClock();
    game.CurrentLevel = int(random.next() * 7.0f + 1.0f);
    buildOwnLevel(game.LevelTable, game.CurrentLevel, clipper.ImageWidth(), clipper.ImageHeight(),
                  random);
    game.LoopCounter = 19;
    game.CurrentLevel = 0;

    host.showNormalState();
    const QSize screen = host.screenSizeTwips();
    const QSize window = ownPictureWindowTwips(clipper.ImageWidth(), clipper.ImageHeight(),
                                               screen.width(), screen.height());
    host.setOuterWidthTwips(window.width() + 15);
    host.setOuterHeightTwips(window.height());
    host.setOuterWidthTwips(window.width());

    game.DealLevel();
    BoardArea &board = *parts.board;
    board.resetScale();
    board.setScaleModePixels();
    // The deal placed the pieces in picture pixels; fit them to the window as it really is.
    game.layoutBoardForWindow();
    host.setCaption(QStringLiteral("Morvane"));
}

} // namespace morvane
