// The large font of the About box's title, with a fallback for systems without it.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace morvane {

// The first of `wanted` that the font database knows, or the application font's family.
QString firstInstalledFamily(const QStringList &wanted);

// MS Sans Serif 24 point at normal weight, or the nearest sans family installed.
QFont titleFont();

} // namespace morvane
