// File > Open: a picture of the player's own becomes level 0, cut like a random built-in
// level and shuffled afresh.
#include "game/Game.h"

#include "OwnLevel.h"
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
}

void Game::OpenCommand()
{
    Host &host = *m_parts.host;
    PictureClip &clipper = *m_parts.clipper;

    // The chosen path travels in the dialog's file name; empty means nothing was chosen.
    QString &fileName = m_openFileName;
    if (host.platformId() == NtPlatform) {
        fileName.clear();
        fileName = host.chooseFileWithForm();
        if (fileName.isEmpty())
            return;
    } else if (!host.chooseFileWithDialog(fileName)) {
        return;
    }

    try {
        const QImage picture = m_parts.loadPicture(fileName);
        if (picture.width() < MinOwnPictureSide || picture.height() < MinOwnPictureSide)
            raiseError(ErrorNumber::InvalidPicture, "picture too small to cut");
        clipper.setPicture(picture);
    } catch (const std::exception &) {
        host.messageBox(QStringLiteral("           Error Loading File ") + fileName
                            + QStringLiteral("             "),
                        QStringLiteral("Bad Image File"));
        return;
    }

    for (LoopCounter = 1; LoopCounter <= 7; ++LoopCounter)
        host.setLevelChecked(int(LoopCounter), false);

    Random &random = *m_parts.random;
    random.reseedFromClock();
    CurrentLevel = int(random.next() * 7.0f + 1.0f);
    buildOwnLevel(LevelTable, CurrentLevel, clipper.ImageWidth(), clipper.ImageHeight(), random);
    LoopCounter = 19;
    CurrentLevel = 0;

    host.showNormalState();
    const QSize screen = host.screenSizeTwips();
    const QSize window = ownPictureWindowTwips(clipper.ImageWidth(), clipper.ImageHeight(),
                                               screen.width(), screen.height());
    host.setOuterWidthTwips(window.width() + 15);
    host.setOuterHeightTwips(window.height());
    host.setOuterWidthTwips(window.width());

    DealLevel();
    BoardArea &board = *m_parts.board;
    board.resetScale();
    board.setScaleModePixels();
    // The deal placed the pieces in picture pixels; fit them to the window as it really is.
    layoutBoardForWindow();
    host.setCaption(QStringLiteral("Morvane"));
}

} // namespace morvane
