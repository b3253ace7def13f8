// WMF: libwmf's gd device draws into a PNG in memory. libwmf's headers define U8, U16 and U32
// as macros, which breaks other headers, so this file includes nothing but libwmf and ours.

#include "renderer.h"

#include <algorithm>
#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <stdexcept>

namespace pikuta::metafile {

namespace {

// Owns the library's handle, which is also destroyed when creating it failed half-way.
struct Api {
    wmfAPI* handle = nullptr;
    Api() = default;
    Api(const Api&) = delete;
    ~Api() {
        if (handle) wmf_api_destroy(handle);
    }
};

class Player {
  public:
    explicit Player(std::span<const unsigned char> data) : data_(data.begin(), data.end()) {
        setWmfLargestRecord(data_);
        wmfAPI_Options options{};
        options.function = wmf_gd_function;
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api_.handle, flags, &options) != wmf_E_None) {
            throw std::runtime_error("the WMF library could not start");
        }
        check(wmf_mem_open(api_.handle, data_.data(), static_cast<long>(data_.size())));
        check(wmf_scan(api_.handle, 0, &bounds_));
    }

    PixelSize measure(double dpi) {
        unsigned int w = 0, h = 0;
        check(wmf_display_size(api_.handle, &w, &h, dpi, dpi));
        if (w == 0 || h == 0) throw std::runtime_error("the WMF picture has no size");
        return fitToLimits(w, h);
    }

    std::vector<unsigned char> playToPng(PixelSize size) {
        std::vector<unsigned char> png;
        wmf_gd_t* device = WMF_GD_GetData(api_.handle);
        device->type = wmf_gd_png;
        device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
        device->sink.context = &png;
        device->sink.function = collect;
        device->width = static_cast<unsigned int>(size.width);
        device->height = static_cast<unsigned int>(size.height);
        device->bbox = bounds_;
        check(wmf_play(api_.handle, 0, &bounds_));
        if (png.empty()) throw std::runtime_error("the WMF library drew nothing");
        return png;
    }

  private:
    static int collect(void* context, char* buffer, int length) {
        auto* png = static_cast<std::vector<unsigned char>*>(context);
        png->insert(png->end(), buffer, buffer + length);
        return length;
    }

    void check(wmf_error_t error) const {
        if (error != wmf_E_None) throw std::runtime_error("the WMF records could not be played");
    }

    std::vector<unsigned char> data_;
    Api api_;
    wmfD_Rect bounds_{};
};

} // namespace

PixelSize measureWmf(std::span<const unsigned char> data, double dpi) {
    return Player(data).measure(dpi);
}

Picture renderWmf(std::span<const unsigned char> data, PixelSize size) {
    return pictureFromPng(Player(data).playToPng(size));
}

} // namespace pikuta::metafile
