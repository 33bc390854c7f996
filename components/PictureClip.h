// The picture clipper (PicClip1): holds the whole picture of the level and cuts tiles from it.
#pragma once

#include <QImage>

#include <cstdint>

namespace morvane {

class PictureClip {
public:
    // The whole source picture. Setting a null picture fails (InvalidPicture) and keeps the
    // previous one.
    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    // The picture's size in pixels; a side beyond the 16-bit range is an Overflow error.
    int16_t ImageWidth() const;
    int16_t ImageHeight() const;

    void setCutLeft(int16_t v) { m_cutLeft = v; }
    void setCutTop(int16_t v) { m_cutTop = v; }
    void setCutWidth(int16_t v) { m_cutWidth = v; }
    void setCutHeight(int16_t v) { m_cutHeight = v; }
    void setOutputWidth(int16_t v) { m_outputWidth = v; }
    void setOutputHeight(int16_t v) { m_outputHeight = v; }

    // A new picture of the clip rectangle stretched to the output size. Parts of the rectangle
    // outside the picture come out black. Fails without a picture or with an empty rectangle.
    QImage Clip() const;

private:
    QImage m_picture;
    int16_t m_cutLeft = 0;
    int16_t m_cutTop = 0;
    int16_t m_cutWidth = 0;
    int16_t m_cutHeight = 0;
    int16_t m_outputWidth = 0;
    int16_t m_outputHeight = 0;
};

} // namespace morvane
