// Cutting tile pictures out of the level picture.
#include "PictureClip.h"

#include "CheckedMath.h"
#include "RuntimeError.h"

namespace morvane {

void PictureClip::setPicture(const QImage &picture)
{
    if (picture.isNull())
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    m_picture = picture.format() == QImage::Format_RGB32
                    ? picture
                    : picture.convertToFormat(QImage::Format_RGB32);
}

int16_t PictureClip::ImageWidth() const { return checkedInt16(m_picture.width()); }

int16_t PictureClip::ImageHeight() const { return checkedInt16(m_picture.height()); }

QImage PictureClip::Clip() const
{
    if (m_picture.isNull())
        raiseError(ErrorNumber::InvalidPicture, "no picture to clip");
    if (m_cutWidth <= 0 || m_cutHeight <= 0 || m_outputWidth <= 0 || m_outputHeight <= 0)
        raiseError(ErrorNumber::InvalidProcedureCall, "empty clip rectangle");
    QImage cut = m_picture.copy(m_cutLeft, m_cutTop, m_cutWidth, m_cutHeight);
    if (cut.size() != QSize(m_outputWidth, m_outputHeight))
        cut = cut.scaled(m_outputWidth, m_outputHeight, Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
    return cut;
}

} // namespace morvane
