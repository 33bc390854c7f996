// Choosing a built-in level from the Levels menu: its picture, check mark, scale and deal.
#include "Game.h"

#include "Host.h"
#include "components/BoardArea.h"
#include "components/CheckedMath.h"
#include "components/ErrorGuard.h"
#include "components/PictureClip.h"

#include <QDir>
#include <QImage>

namespace morvane {

QString Game::loadErrorText(const QString &fileName)
{
    return QStringLiteral("           Error Loading File ") + fileName
           + QStringLiteral("             ");
}

void Game::LevelCommand(int n)
{
    Host &host = *m_parts.host;
    BoardArea &board = *m_parts.board;
    PictureClip &clipper = *m_parts.clipper;

    const QString path = QDir(m_parts.dataFolder).filePath(levelFileName(n));
    if (!skipStepOnError([&] { clipper.setPicture(m_parts.loadLevelPicture(path)); })) {
        // Nothing else changes: the board, the level, the check marks and the picture stay.
        LoopCounter = host.messageBox(loadErrorText(levelFileName(n)),
                                      QStringLiteral("What happened to file?"));
        return;
    }

    // From here every step stands alone: one that fails is skipped.
    skipStepOnError([&] {
        for (LoopCounter = 1; LoopCounter <= 7; ++LoopCounter)
            host.setLevelChecked(int(LoopCounter), false);
    });
    skipStepOnError([&] { host.setLevelChecked(n, true); });
    if (CurrentLevel == 0) {
        // Back from an own picture: the start-up size again.
        useStartupSize();
    }
    skipStepOnError([&] { scaleBoardToPicture(); });
    if (CurrentLevel == 0) {
        skipStepOnError([&] { host.setOuterWidthTwips(host.outerWidthTwips() + 15); });
        skipStepOnError([&] { host.setOuterWidthTwips(host.outerWidthTwips() - 15); });
    }
    CurrentLevel = n;
    skipStepOnError(
        [&] { host.setCaption(QStringLiteral("Morvane - Level %1").arg(CurrentLevel)); });
    skipStepOnError([&] { DealLevel(); });
    skipStepOnError([&] { board.resetScale(); });
    skipStepOnError([&] { board.setScaleModePixels(); });
    skipStepOnError([&] { layoutBoardForWindow(); });
}

} // namespace morvane
