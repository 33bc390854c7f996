// The screenshots the software centres show: which level each one deals, and its file name.
#pragma once

#include <QList>
#include <QString>

namespace morvane {

struct Screenshot {
    int level;
    QString fileName;
};

// The first is the default one: the first level as a new player meets it. The second shows a
// harder level, with mirrored pieces among those dealt.
inline QList<Screenshot> screenshots()
{
    return {
        {1, QStringLiteral("level-1.png")},
        {4, QStringLiteral("level-4.png")}
    };
}

} // namespace morvane
