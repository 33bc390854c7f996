// Entry point: recognises the kind of metafile, sizes the output image and runs the right player.
#include "MetafileReader.h"

#include "ByteReader.h"
#include "Canvas.h"
#include "DeviceContext.h"
#include "EmfPlayer.h"
#include "Limits.h"
#include "MetafileFrame.h"
#include "WmfPlayer.h"

#include <cmath>
#include <new>

namespace morvane::metafile {

namespace {

MetafileFrame probe(const QByteArray &data)
{
    MetafileFrame f;
    const Kind kind = detect(data);
    switch (kind) {
    case Kind::PlaceableWmf:
    case Kind::Wmf: f = WmfPlayer::probe(data); break;
    case Kind::Emf: f = EmfPlayer::probe(data); break;
    case Kind::None: break;
    }
    f.kind = kind;
    return f;
}

// Natural size rounded to whole pixels, at least one pixel a side.
QSize roundedSize(QSizeF size)
{
    auto side = [](double v) {
        if (!std::isfinite(v) || v < 1)
            return 1;
        return v > 1e9 ? 1'000'000'000 : int(std::lround(v));
    };
    return QSize(side(size.width()), side(size.height()));
}

// Fits a size inside a box keeping its proportions; never grows it.
QSize fitted(QSize size, QSize box)
{
    if (!box.isValid() || box.isEmpty())
        return size;
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    const double k =
        std::min(double(box.width()) / size.width(), double(box.height()) / size.height());
    return QSize(std::max(1, int(std::lround(size.width() * k))),
                 std::max(1, int(std::lround(size.height() * k))));
}

} // namespace

Kind detect(const QByteArray &head)
{
    ByteReader r(head);
    if (!r.has(18))
        return Kind::None;
    if (r.u32() == 0x9AC6CDD7)
        return head.size() >= 40 ? Kind::PlaceableWmf : Kind::None;
    r.seek(0);
    const uint32_t first = r.u32();
    if (first == 1 && head.size() >= 44) {
        r.seek(40);
        if (r.u32() == 0x464D4520) // " EMF"
            return Kind::Emf;
    }
    r.seek(0);
    const uint16_t type = r.u16();
    const uint16_t headerWords = r.u16();
    const uint16_t version = r.u16();
    if ((type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300))
        return Kind::Wmf;
    return Kind::None;
}

QSize naturalSize(const QByteArray &data)
{
    try {
        const MetafileFrame f = probe(data);
        if (f.kind == Kind::None)
            return {};
        return roundedSize(f.naturalPixels);
    } catch (const std::exception &) {
        return {};
    }
}

RenderResult render(const QByteArray &data, QSize maxSize, const Allowance &allowance)
{
    RenderResult result;
    try {
        if (data.size() > Limits::maxFileBytes) {
            result.error =
                QStringLiteral("the metafile is larger than %1 bytes").arg(Limits::maxFileBytes);
            return result;
        }
        const MetafileFrame frame = probe(data);
        if (frame.kind == Kind::None) {
            result.error = QStringLiteral("not a WMF or EMF metafile");
            return result;
        }
        if (frame.deviceRect.isEmpty() || !std::isfinite(frame.deviceRect.width())
            || !std::isfinite(frame.deviceRect.height())) {
            result.error = QStringLiteral("the metafile has an empty picture area");
            return result;
        }

        QSize size = fitted(roundedSize(frame.naturalPixels), maxSize);
        size = fitted(size, QSize(Limits::maxOutputSide, Limits::maxOutputSide));
        if (qint64(size.width()) * size.height() > Limits::maxOutputPixels) {
            const double k =
                std::sqrt(double(Limits::maxOutputPixels) / (double(size.width()) * size.height()));
            size = QSize(std::max(1, int(size.width() * k)), std::max(1, int(size.height() * k)));
        }

        QImage image(size, QImage::Format_RGB32);
        if (image.isNull()) {
            result.error = QStringLiteral("not enough memory for a %1 x %2 image")
                               .arg(size.width())
                               .arg(size.height());
            return result;
        }
        image.fill(Qt::white);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);

        // The picture area in device units fills the image.
        const QRectF area = frame.deviceRect;
        QTransform deviceToImage;
        deviceToImage.scale(size.width() / area.width(), size.height() / area.height());
        deviceToImage.translate(-area.left(), -area.top());

        Budget budget(allowance);
        DeviceContext dc(deviceToImage, frame.unitsPerMm);
        QString note;
        {
            Canvas canvas(image, dc, budget);
            if (frame.kind == Kind::Emf) {
                EmfPlayer player(data, frame, dc, canvas, budget);
                note = player.play();
            } else {
                WmfPlayer player(data, frame, dc, canvas, budget);
                note = player.play();
            }
        }
        result.image = std::move(image);
        result.warning = note;
    } catch (const OnlyEmfPlus &e) {
        result.image = QImage();
        result.error = QString::fromStdString(e.what());
    } catch (const LimitExceeded &e) {
        result.image = QImage();
        result.error = QStringLiteral("metafile refused: ") + QString::fromStdString(e.what());
    } catch (const Malformed &e) {
        result.image = QImage();
        result.error = QStringLiteral("damaged metafile: ") + QString::fromStdString(e.what());
    } catch (const std::bad_alloc &) {
        result.image = QImage();
        result.error = QStringLiteral("out of memory while rendering the metafile");
    } catch (const std::exception &e) {
        result.image = QImage();
        result.error = QStringLiteral("metafile error: ") + QString::fromStdString(e.what());
    }
    return result;
}

} // namespace morvane::metafile
