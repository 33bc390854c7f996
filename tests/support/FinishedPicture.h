// What the finished picture shows, read back from the preview: the words printed on it.
#pragma once

#include <QColor>
#include <QImage>

namespace morvane::test {

// Light red text in the top-left corner, where the finished picture's words are printed.
inline int wordsPixels(const QImage &shown)
{
    int light = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 250; ++x) {
            const QColor c(shown.pixel(x, y));
            light += c.red() > 0xF0 && c.green() > 0x70 && c.green() < 0x90 && c.blue() > 0x70
                     && c.blue() < 0x90;
        }
    return light;
}

} // namespace morvane::test
