#include "platform/colour_profile.h"

#include <QColorSpace>
#include <QMutex>
#include <lcms2.h>
#include <memory>

namespace platform {

namespace {

// The header names the colour space of the device side at bytes 16 to 19.
bool of_rgb(const QByteArray& icc) {
    return icc.size() >= 128 && icc.mid(16, 4) == "RGB ";
}

// Whole 32-bit pixels, alpha not premultiplied: what both colour engines convert in place.
QImage in_four_bytes(QImage image) {
    const auto f = image.format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32) return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

using Transform = std::shared_ptr<void>;

// Little CMS reads the profiles Qt does not (lookup tables, common from cameras). Building a
// transform costs milliseconds, so the last one is kept: a folder of photos from one camera
// shares its profile. No pixel cache inside the transform, so two threads may use it at once.
Transform lcms_transform(const QByteArray& profile, const QByteArray& display) {
    static QBasicMutex mutex;
    static QByteArray last_profile, last_display;
    static Transform last;
    QMutexLocker lock(&mutex);
    if (last && profile == last_profile && display == last_display) return last;
    const auto open = [](const QByteArray& icc) {
        return icc.isEmpty() ? cmsCreate_sRGBProfile()
                             : cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    };
    const std::unique_ptr<void, decltype(&cmsCloseProfile)> from(open(profile), cmsCloseProfile);
    const std::unique_ptr<void, decltype(&cmsCloseProfile)> to(open(display), cmsCloseProfile);
    if (!from || !to || cmsGetColorSpace(from.get()) != cmsSigRgbData ||
        cmsGetColorSpace(to.get()) != cmsSigRgbData)
        return {};
    // The bytes of a 32-bit pixel in memory; the fourth is left as it is.
    const cmsUInt32Number format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TYPE_BGRA_8 : TYPE_ARGB_8;
    cmsHTRANSFORM t = cmsCreateTransform(from.get(), format, to.get(), format, INTENT_PERCEPTUAL,
                                         cmsFLAGS_NOCACHE);
    if (!t) return {};
    last = Transform(t, cmsDeleteTransform);
    last_profile = profile;
    last_display = display;
    return last;
}

} // namespace

QImage in_display_colours(QImage image, const QByteArray& profile, const QByteArray& display) {
    if (image.isNull() || !of_rgb(profile)) return image;
    const QByteArray target = of_rgb(display) ? display : QByteArray();
    const QColorSpace from = QColorSpace::fromIccProfile(profile);
    const QColorSpace to =
        target.isEmpty() ? QColorSpace(QColorSpace::SRgb) : QColorSpace::fromIccProfile(target);
    if (from.isValid() && to.isValid()) {
        if (from == to) return image; // most often sRGB, said out loud
        image = in_four_bytes(std::move(image));
        image.setColorSpace(from);
        image.convertToColorSpace(to);
        return image;
    }
    const Transform transform = lcms_transform(profile, target);
    if (!transform) return image;
    image = in_four_bytes(std::move(image));
    uchar* bits = image.bits();
    cmsDoTransformLineStride(transform.get(), bits, bits, cmsUInt32Number(image.width()),
                             cmsUInt32Number(image.height()), cmsUInt32Number(image.bytesPerLine()),
                             cmsUInt32Number(image.bytesPerLine()), 0, 0);
    image.setColorSpace(to); // invalid when Qt cannot describe the display's profile
    return image;
}

} // namespace platform
