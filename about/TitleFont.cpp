// Picks the title font by asking the font database, so that a missing MS Sans Serif gives a
// plain sans face rather than whatever fontconfig would substitute.
#include "TitleFont.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace morvane {

QString firstInstalledFamily(const QStringList &wanted)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : wanted) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return QGuiApplication::font().family();
}

QFont titleFont()
{
    QFont font(
        firstInstalledFamily({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                              QStringLiteral("DejaVu Sans"), QStringLiteral("Nimbus Sans")}));
    font.setPointSize(24);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace morvane
