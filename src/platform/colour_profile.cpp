#include "platform/colour_profile.h"

#include <QColorSpace>
#include <QColorTransform>
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

// From one profile to another: by Qt where it reads both, else by Little CMS, which reads the
// profiles Qt does not (lookup tables, common from cameras); nothing when neither can.
struct Conversion {
    QColorSpace to; // invalid when Qt cannot describe the display's profile
    QColorTransform qt;
    std::shared_ptr<void> lcms;
    bool none() const { return qt.isIdentity() && !lcms; }
};

std::shared_ptr<void> lcms_transform(const QByteArray& profile, const QByteArray& display) {
    const auto open = [](const QByteArray& icc) {
        return icc.isEmpty() ? cmsCreate_sRGBProfile()
                             : cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    };
    const std::unique_ptr<void, decltype(&cmsCloseProfile)> from(open(profile), cmsCloseProfile);
    const std::unique_ptr<void, decltype(&cmsCloseProfile)> to(open(display), cmsCloseProfile);
    if (!from || !to || cmsGetColorSpace(from.get()) != cmsSigRgbData ||
        cmsGetColorSpace(to.get()) != cmsSigRgbData)
        return {};
    // The bytes of a 32-bit pixel in memory; the fourth is left as it is. No pixel cache in
    // the transform, so that two threads may use it at once.
    const cmsUInt32Number format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TYPE_BGRA_8 : TYPE_ARGB_8;
    cmsHTRANSFORM t = cmsCreateTransform(from.get(), format, to.get(), format, INTENT_PERCEPTUAL,
                                         cmsFLAGS_NOCACHE);
    return t ? std::shared_ptr<void>(t, cmsDeleteTransform) : nullptr;
}

Conversion make_conversion(const QByteArray& profile, const QByteArray& display) {
    Conversion c;
    const QColorSpace from = QColorSpace::fromIccProfile(profile);
    c.to =
        display.isEmpty() ? QColorSpace(QColorSpace::SRgb) : QColorSpace::fromIccProfile(display);
    if (from.isValid() && c.to.isValid()) {
        if (from != c.to) c.qt = from.transformationToColorSpace(c.to);
    } else {
        c.lcms = lcms_transform(profile, display);
    }
    return c;
}

// Building a conversion costs up to milliseconds; photos from one camera share their profile,
// so the last one is kept.
std::shared_ptr<const Conversion> conversion(const QByteArray& profile, const QByteArray& display) {
    static QBasicMutex mutex;
    static QByteArray last_profile, last_display;
    static std::shared_ptr<const Conversion> last;
    QMutexLocker lock(&mutex);
    if (!last || profile != last_profile || display != last_display) {
        last = std::make_shared<const Conversion>(make_conversion(profile, display));
        last_profile = profile;
        last_display = display;
    }
    return last;
}

} // namespace

QImage in_display_colours(QImage image, const QByteArray& profile, const QByteArray& display) {
    if (image.isNull() || !of_rgb(profile)) return image;
    const auto c = conversion(profile, of_rgb(display) ? display : QByteArray());
    if (c->none()) return image;
    image = in_four_bytes(std::move(image));
    if (c->lcms) {
        uchar* bits = image.bits();
        const auto stride = cmsUInt32Number(image.bytesPerLine());
        cmsDoTransformLineStride(c->lcms.get(), bits, bits, cmsUInt32Number(image.width()),
                                 cmsUInt32Number(image.height()), stride, stride, 0, 0);
    } else {
        image.applyColorTransform(c->qt);
    }
    image.setColorSpace(c->to);
    return image;
}

} // namespace platform
