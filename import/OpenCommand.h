// File > Open: a picture of the player's own becomes level 0, cut like a random built-in level
// and shuffled afresh. It drives the game through its public procedures and its Host.
#pragma once

#include <QString>

namespace morvane {

class Game;

class OpenCommand {
public:
    explicit OpenCommand(Game &game) : m_game(game) {}

    // Lets the player choose a picture and deals it; a picture that does not load leaves the
    // game as it was, after a message.
    void run();
    // Deals the picture at `path` as if the player had just chosen it: a picture dropped on
    // the window opens this way.
    void open(const QString &path);

private:
    // Everything Open does once the chosen path is in the file name.
    void openChosen();

    Game &m_game;
    // The open dialog's file name: the hand-over slot between the file chooser and Open. The
    // common dialog starts on the last name chosen.
    QString m_fileName;
};

} // namespace morvane
