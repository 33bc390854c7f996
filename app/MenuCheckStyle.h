// A style for the level menu: the current level carries a check mark, the others show no box.
#pragma once

#include <QProxyStyle>

namespace morvane {

class MenuCheckStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

} // namespace morvane
