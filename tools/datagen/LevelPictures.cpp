// Chooses the scene painter of each level.
#include "Artwork.h"
#include "Scenes.h"

#include <stdexcept>

namespace datagen {

QImage paintLevelPicture(int level)
{
    switch (level) {
    case 1: return paintBadoer();
    case 2: return paintSwitzerland();
    case 3: return paintSussex();
    case 4: return paintSydney();
    case 5: return paintLakeHotel();
    case 6: return paintCalgary();
    case 7: return paintPula();
    default: throw std::invalid_argument("no such level");
    }
}

} // namespace datagen
