// One painter per level scene; each returns a 600 x 450 picture and uses fixed seeds only.
#pragma once

#include <QImage>

namespace datagen {

QImage paintBadoer();      // level 1: a Palladian villa with columns, wings and a lawn
QImage paintSwitzerland(); // level 2: snowy peaks over a lake and a village
QImage paintSussex();      // level 3: white chalk cliffs over the sea
QImage paintSydney();      // level 4: harbour, sail-roofed hall and arch bridge
QImage paintLakeHotel();   // level 5: a grand hotel mirrored in a lake
QImage paintCalgary();     // level 6: a skyline with a tall tower before mountains
QImage paintPula();        // level 7: a Roman amphitheatre of arches by the sea

} // namespace datagen
