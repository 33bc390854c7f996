// Gives the keys back to the board once the player is done with the menu bar.
#pragma once

#include <QObject>

class QMenu;
class QMenuBar;
class QWidget;

namespace morvane {

// Qt's menu bar keeps the keyboard after Escape closes one of its menus, waiting for arrows to
// walk along it, while nothing on it looks chosen: the player's next keys would move through
// the menus instead of over the board. A menu closed by Escape now leaves the menu bar at
// once, and a click on the board or a move over it takes the keys back from a menu bar that
// still holds them. Alt and the menus' letters open the menus as before, and keys inside an
// open menu are the menu's own.
class MenuBarLetGo : public QObject {
public:
    // `keys` is the widget that takes the keys of play; `board` the area they play on.
    MenuBarLetGo(QMenuBar *menuBar, QWidget *keys, QWidget *board);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchBoard(QWidget *widget);
    // The keys back to the board, if the menu bar holds them and no menu is open.
    void letGo();

    QMenuBar *m_menuBar;
    QWidget *m_keys;
};

} // namespace morvane
