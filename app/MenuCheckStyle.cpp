// Menu items that can carry a check mark draw nothing while they do not.
#include "MenuCheckStyle.h"

#include <QMenu>
#include <QStyleOption>

namespace morvane {

void MenuCheckStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                   QPainter *painter, const QWidget *widget) const
{
    const bool menuCheck = element == PE_IndicatorCheckBox || element == PE_IndicatorMenuCheckMark;
    if (menuCheck && qobject_cast<const QMenu *>(widget) && !(option->state & State_On))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

} // namespace morvane
