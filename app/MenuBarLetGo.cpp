// Keys back to the board after a menu: Escape, or the mouse on the board.
#include "MenuBarLetGo.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace morvane {

MenuBarLetGo::MenuBarLetGo(QMenuBar *menuBar, QWidget *keys, QWidget *board)
    : QObject(menuBar), m_menuBar(menuBar), m_keys(keys)
{
    for (QAction *action : menuBar->actions())
        if (QMenu *menu = action->menu())
            menu->installEventFilter(this);
    watchBoard(board);
}

void MenuBarLetGo::watchBoard(QWidget *widget)
{
    widget->installEventFilter(this);
    for (QObject *child : widget->children())
        if (child->isWidgetType())
            watchBoard(static_cast<QWidget *>(child));
}

bool MenuBarLetGo::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // Only the menus of the menu bar are watched for keys; Escape closes the menu as a
        // click elsewhere does, which leaves nothing of the menu bar chosen.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            if (auto *menu = qobject_cast<QMenu *>(watched)) {
                menu->hide();
                letGo();
                return true;
            }
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
        if (!qobject_cast<QMenu *>(watched))
            letGo();
        break;
    default: break;
    }
    return false;
}

void MenuBarLetGo::letGo()
{
    if (QApplication::activePopupWidget() || !m_menuBar->hasFocus())
        return;
    // Taking the focus away is how the menu bar itself lets go: it forgets its chosen menu.
    m_keys->setFocus(Qt::MouseFocusReason);
}

} // namespace morvane
