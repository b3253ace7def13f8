// EMF and WMF drawn by the system's own metafile player: an EMF is played into a bitmap, a WMF
// is first converted to an EMF. GDI draws opaque pixels only, so each picture is played twice,
// on black and on white: where the two differ, the background shows through. An EMF made of
// EMF+ records alone, which GDI passes over, is drawn by GDI+ instead.

#include "renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <stdexcept>
#include <windows.h>
// The GDI+ headers use min and max unqualified, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

namespace pikuta::metafile {

namespace {

constexpr std::uint32_t placeableKey = 0x9AC6CDD7;
constexpr std::size_t placeableHeader = 22;
constexpr double himetricPerInch = 2540.0;

struct EmfDeleter {
    void operator()(HENHMETAFILE h) const { DeleteEnhMetaFile(h); }
};
using Emf = std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, EmfDeleter>;

std::int32_t i32(std::span<const unsigned char> d, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, d.data() + at, sizeof v);
    return v;
}

std::uint32_t u32(std::span<const unsigned char> d, std::size_t at) {
    return std::uint32_t(i32(d, at));
}

void put32(std::vector<unsigned char>& d, std::size_t at, std::int32_t v) {
    std::memcpy(d.data() + at, &v, sizeof v);
}

struct DeviceBounds {
    std::int32_t left, top, right, bottom; // inclusive, in the recording device's pixels
};

// The player maps the frame onto the output. A picture whose frame is missing is framed by its
// inked bounds, which is the picture the size rules give it.
void setFrame(std::vector<unsigned char>& emf, DeviceBounds ink) {
    const double px[] = {double(i32(emf, 72)), double(i32(emf, 76))};
    const double mm[] = {double(i32(emf, 80)), double(i32(emf, 84))};
    if (px[0] <= 0 || px[1] <= 0 || mm[0] <= 0 || mm[1] <= 0)
        throw std::runtime_error("the EMF header describes no recording device");
    const double per[] = {mm[0] * 100 / px[0], mm[1] * 100 / px[1]};
    put32(emf, 24, roundHalfEven(ink.left * per[0]));
    put32(emf, 28, roundHalfEven(ink.top * per[1]));
    put32(emf, 32, roundHalfEven((ink.right + 1.0) * per[0]));
    put32(emf, 36, roundHalfEven((ink.bottom + 1.0) * per[1]));
}

DeviceBounds boundsOf(std::span<const unsigned char> emf) {
    return {i32(emf, 8), i32(emf, 12), i32(emf, 16), i32(emf, 20)};
}

Emf emfFrom(std::span<const unsigned char> data) {
    Emf emf(SetEnhMetaFileBits(UINT(data.size()), data.data()));
    if (!emf) throw std::runtime_error("the EMF records could not be read");
    return emf;
}

std::vector<unsigned char> bitsOf(HENHMETAFILE emf) {
    std::vector<unsigned char> bits(GetEnhMetaFileBits(emf, 0, nullptr));
    if (bits.size() < 88 || GetEnhMetaFileBits(emf, UINT(bits.size()), bits.data()) != bits.size())
        throw std::runtime_error("the converted metafile could not be read");
    return bits;
}

std::uint16_t u16(std::span<const unsigned char> d, std::size_t at) {
    return std::uint16_t(d[at] | d[at + 1] << 8);
}

// A WMF's records without the placeable header in front of them.
std::span<const unsigned char> wmfRecords(std::span<const unsigned char> data) {
    return (u16(data, 0) | std::uint32_t(u16(data, 2)) << 16) == placeableKey
               ? data.subspan(placeableHeader)
               : data;
}

// The widest pen the records create: the recorded bounds follow the lines' middles, the ink
// reaches half a pen further. The records were checked before, so the walk stays inside.
int widestPen(std::span<const unsigned char> records) {
    constexpr std::uint16_t createPen = 0x02FA;
    int widest = 0;
    for (std::size_t at = 18; at + 6 <= records.size();) {
        const std::size_t bytes = std::size_t(u16(records, at) | u16(records, at + 2) << 16) * 2;
        if (bytes < 6 || bytes > records.size() - at || u16(records, at + 4) == 0) break;
        if (u16(records, at + 4) == createPen && bytes >= 10)
            widest = std::max(widest, int(std::int16_t(u16(records, at + 8))));
        at += bytes;
    }
    return widest;
}

DeviceBounds inkOf(std::span<const unsigned char> emf, std::span<const unsigned char> records) {
    const DeviceBounds ink = boundsOf(emf);
    if (ink.right < ink.left || ink.bottom < ink.top)
        throw std::runtime_error("the WMF picture has no size");
    const int reach = widestPen(records) / 2;
    return {ink.left - reach, ink.top - reach, ink.right + reach, ink.bottom + reach};
}

// `size`: the picture's size, which its window fills; none for a WMF without a window, whose
// units are then the reference device's pixels and whose picture is its ink.
std::vector<unsigned char> emfFromWmf(std::span<const unsigned char> data, const PixelSize* size) {
    const auto records = wmfRecords(data);
    METAFILEPICT picture{MM_TEXT, 0, 0, nullptr};
    if (size) {
        picture = {MM_ANISOTROPIC, LONG(size->width * himetricPerInch / 96),
                   LONG(size->height * himetricPerInch / 96), nullptr};
    }
    const Emf emf(SetWinMetaFileBits(UINT(records.size()), records.data(), nullptr, &picture));
    if (!emf) throw std::runtime_error("the WMF records could not be converted");
    auto bits = bitsOf(emf.get());
    if (!size) setFrame(bits, inkOf(bits, records));
    return bits;
}

// GDI refuses a record now and then (a damaged bitmap, an object that was never made) where
// other programs draw the rest of the picture: so is it drawn here, record by record.
int CALLBACK playRecord(HDC dc, HANDLETABLE* objects, const ENHMETARECORD* record, int count,
                        LPARAM refused) {
    if (!PlayEnhMetaFileRecord(dc, objects, record, UINT(count)))
        ++*reinterpret_cast<int*>(refused);
    return TRUE;
}

class Canvas {
  public:
    explicit Canvas(PixelSize size) : size_(size), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = size.width;
        info.bmiHeader.biHeight = -size.height; // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dc_ || !bitmap_) {
            release();
            throw std::runtime_error("the picture does not fit in memory");
        }
        pixels_ = static_cast<std::uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    Canvas(const Canvas&) = delete;
    ~Canvas() { release(); }

    // Plays the metafile on a background of one colour; how many records GDI refused.
    int play(HENHMETAFILE emf, std::uint32_t background) {
        GdiFlush();
        std::fill_n(pixels_, count(), background);
        const RECT whole{0, 0, size_.width, size_.height};
        int refused = 0;
        if (!EnumEnhMetaFile(dc_, emf, playRecord, &refused, &whole))
            throw std::runtime_error("the metafile could not be played");
        GdiFlush();
        return refused;
    }

    const std::uint32_t* pixels() const { return pixels_; }
    std::size_t count() const { return std::size_t(size_.width) * size_.height; }

  private:
    void release() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }

    PixelSize size_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
};

// On black each pixel is its colour times its coverage, which is premultiplied ARGB; the
// brightening on white is what the background adds, the part left uncovered. The white pass
// is folded into the black one where it lies, so that the largest picture allowed needs the
// bitmap and one copy of it (8 bytes a pixel), which fits the renderer's memory limit.
Picture play(HENHMETAFILE emf, PixelSize size) {
    Canvas canvas(size);
    const int refused = canvas.play(emf, 0x000000);
    Picture picture{size, {canvas.pixels(), canvas.pixels() + canvas.count()}};
    canvas.play(emf, 0xFFFFFF);
    const std::uint32_t* onWhite = canvas.pixels();
    bool drawn = false;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint32_t b = picture.pixels[i], w = onWhite[i];
        int uncovered = 0;
        for (int shift = 0; shift < 24; shift += 8)
            uncovered = std::max(uncovered, int((w >> shift) & 0xFF) - int((b >> shift) & 0xFF));
        const std::uint32_t alpha = 255 - std::uint32_t(std::clamp(uncovered, 0, 255));
        std::uint32_t pixel = alpha << 24;
        for (int shift = 0; shift < 24; shift += 8)
            pixel |= std::min((b >> shift) & 0xFF, alpha) << shift;
        picture.pixels[i] = pixel;
        drawn = drawn || alpha != 0;
    }
    // Refused records are passed over; refused with nothing drawn, the file is not a picture.
    if (refused > 0 && !drawn) throw std::runtime_error("the metafile could not be played");
    return picture;
}

// Whether the record after the header is the EMF+ header without its dual flag: the picture
// is then in EMF+ records alone, with no GDI records that draw it too. (The records were
// checked before, so the header's size points at a whole record.)
bool emfPlusOnly(std::span<const unsigned char> emf) {
    constexpr std::uint32_t comment = 70, plusSignature = 0x2B464D45; // "EMF+"
    constexpr std::uint16_t plusHeader = 0x4001, dual = 1;
    const std::size_t at = u32(emf, 4);
    return at <= emf.size() && emf.size() - at >= 20 && u32(emf, at) == comment &&
           u32(emf, at + 12) == plusSignature && u16(emf, at + 16) == plusHeader &&
           !(u16(emf, at + 18) & dual);
}

class GdiPlus {
  public:
    GdiPlus() {
        const Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
            throw std::runtime_error("GDI+ could not be started");
    }
    GdiPlus(const GdiPlus&) = delete;
    ~GdiPlus() { Gdiplus::GdiplusShutdown(token_); }

  private:
    ULONG_PTR token_ = 0;
};

// GDI+ draws with real coverage, straight into the picture's premultiplied pixels.
Picture playPlus(HENHMETAFILE emf, PixelSize size) {
    const GdiPlus session;
    Picture picture{size, std::vector<std::uint32_t>(std::size_t(size.width) * size.height)};
    Gdiplus::Bitmap target(size.width, size.height, size.width * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(picture.pixels.data()));
    Gdiplus::Metafile metafile(emf, FALSE);
    Gdiplus::Status status = target.GetLastStatus();
    if (status == Gdiplus::Ok) {
        Gdiplus::Graphics graphics(&target);
        status = graphics.DrawImage(&metafile, 0, 0, size.width, size.height);
    }
    if (status != Gdiplus::Ok) throw std::runtime_error("the EMF+ records could not be drawn");
    return picture;
}

bool hasWindow(std::span<const unsigned char> data) {
    return inspect(data, 96).naturalSize.has_value();
}

} // namespace

void prepareProcess() {
    // A crash in the player must not ask the user what to do: the viewer reports it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

Picture renderEmf(std::span<const unsigned char> data, PixelSize size) {
    const Emf emf = [&] {
        std::vector<unsigned char> copy(data.begin(), data.end());
        const DeviceBounds frame{i32(data, 24), i32(data, 28), i32(data, 32), i32(data, 36)};
        if (frame.right <= frame.left || frame.bottom <= frame.top) setFrame(copy, boundsOf(data));
        return emfFrom(copy);
    }();
    return emfPlusOnly(data) ? playPlus(emf.get(), size) : play(emf.get(), size);
}

// Without a window the records' units are taken for points and parts of a pixel are dropped,
// as the WMF library measures on Linux, so that the picture has one size everywhere.
PixelSize measureWmf(std::span<const unsigned char> data, double dpi) {
    const DeviceBounds ink = inkOf(emfFromWmf(data, nullptr), wmfRecords(data));
    const auto pixels = [dpi](double points) {
        return std::max(1.0, std::floor(points * dpi / 72));
    };
    return fitToLimits(pixels(ink.right - ink.left + 1.0), pixels(ink.bottom - ink.top + 1.0));
}

Picture renderWmf(std::span<const unsigned char> data, PixelSize size) {
    const auto emf = emfFromWmf(data, hasWindow(data) ? &size : nullptr);
    return play(emfFrom(emf).get(), size);
}

} // namespace pikuta::metafile
