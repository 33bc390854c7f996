// Choosing a built-in level from the Levels menu: its picture, check mark, scale and deal.
#include "Game.h"

#include "Guarded.h"
#include "Host.h"
#include "components/BoardArea.h"
#include "components/CheckedMath.h"
#include "components/PictureClip.h"

#include <QDir>
#include <QImage>

namespace morvane {

QString Game::levelLoadErrorText(int n)
{
    return QStringLiteral("           Error Loading File ") + levelFileName(n)
           + QStringLiteral("             ");
}

void Game::LevelCommand(int n)
{
    Host &host = *m_parts.host;
    BoardArea &board = *m_parts.board;
    PictureClip &clipper = *m_parts.clipper;

    const QString path = QDir(m_parts.dataFolder).filePath(levelFileName(n));
    if (!guarded([&] { clipper.setPicture(m_parts.loadLevelPicture(path)); })) {
        // Nothing else changes: the board, the level, the check marks and the picture stay.
        LoopCounter = host.messageBox(levelLoadErrorText(n), QStringLiteral("What happened to file?"));
        return;
    }

    // From here every step stands alone: one that fails is skipped.
    guarded([&] {
        for (LoopCounter = 1; LoopCounter <= 7; ++LoopCounter)
            host.setLevelChecked(int(LoopCounter), false);
    });
    guarded([&] { host.setLevelChecked(n, true); });
    if (CurrentLevel == 0) {
        // Back from an own picture: the start-up size again.
        guarded([&] { host.setOuterHeightTwips(8040); });
        guarded([&] { host.setOuterWidthTwips(9720); });
    }
    guarded([&] { board.setScaleHeight(add16(clipper.ImageHeight(), 40)); });
    guarded([&] { board.setScaleWidth(add16(clipper.ImageWidth(), 40)); });
    if (CurrentLevel == 0) {
        guarded([&] { host.setOuterWidthTwips(host.outerWidthTwips() + 15); });
        guarded([&] { host.setOuterWidthTwips(host.outerWidthTwips() - 15); });
    }
    CurrentLevel = n;
    guarded([&] { host.setCaption(QStringLiteral("Morvane - Level %1").arg(CurrentLevel)); });
    guarded([&] { DealLevel(); });
    guarded([&] { board.resetScale(); });
    guarded([&] { board.setScaleModePixels(); });
    guarded([&] { layoutBoardForWindow(); });
}

} // namespace morvane
