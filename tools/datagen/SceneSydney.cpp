// placeholder
#include "Painting.h"
#include "Scenes.h"
namespace datagen {
QImage paintSydney()
{
    QImage image = newCanvas();
    paintSky(image, 450, {QColor(58, 110, 190), QColor(190, 212, 232), QColor(255, 252, 244),
                          QColor(150, 160, 182), 0.52, 110.0, 2.6, 1});
    return image;
}
}
