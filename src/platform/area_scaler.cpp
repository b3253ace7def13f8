#include "platform/area_scaler.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr std::uint32_t kWhole = 256; // shares are counted in 256ths of a source pixel
// The three colour bytes of a 32-bit RGB pixel; the fourth is the unused one.
constexpr int kColour = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 1;
constexpr int kUnused = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0;
} // namespace

std::vector<AreaScaler::Share> AreaScaler::shares(int from, int to,
                                                  std::vector<double>* inverse_totals) {
    std::vector<Share> out(static_cast<size_t>(from));
    std::vector<std::uint32_t> totals(size_t(to) + 1, 0);
    for (int x = 0; x < from; ++x) {
        // Result pixel j covers source [j * from / to, (j + 1) * from / to).
        const int j = int(std::int64_t(x) * to / from);
        const std::int64_t left = (std::int64_t(j) + 1) * from - std::int64_t(x) * to; // in 1/to
        const auto first =
            std::uint32_t(std::min<std::int64_t>(kWhole, (left * kWhole + to / 2) / to));
        out[size_t(x)] = {j, first};
        totals[size_t(j)] += first;
        totals[size_t(j) + 1] += kWhole - first;
    }
    inverse_totals->resize(size_t(to));
    for (int j = 0; j < to; ++j)
        (*inverse_totals)[size_t(j)] = totals[size_t(j)] ? 1.0 / totals[size_t(j)] : 0.0;
    return out;
}

AreaScaler::AreaScaler(QSize from, QImage* into)
    : into_(into), row_(size_t(from.width()) * 4),
      columns_(shares(from.width(), into->width(), &column_scale_)),
      rows_(shares(from.height(), into->height(), &row_scale_)),
      across_((size_t(into->width()) + 1) * 3), here_(across_.size()), below_(across_.size()) {}

void AreaScaler::add_row() {
    if (in_ >= int(rows_.size())) return;
    std::fill(across_.begin(), across_.end(), 0);
    const uchar* p = row_.data() + kColour;
    for (const Share& s : columns_) {
        std::uint32_t* a = &across_[size_t(s.to) * 3];
        a[0] += p[0] * s.first;
        a[1] += p[1] * s.first;
        a[2] += p[2] * s.first;
        if (s.first != kWhole) {
            const std::uint32_t rest = kWhole - s.first;
            a[3] += p[0] * rest;
            a[4] += p[1] * rest;
            a[5] += p[2] * rest;
        }
        p += 4;
    }
    const Share s = rows_[size_t(in_++)];
    while (out_ < s.to)
        finish_row();
    const size_t n = size_t(into_->width()) * 3;
    for (size_t i = 0; i < n; ++i)
        here_[i] += std::uint64_t(across_[i]) * s.first;
    if (s.first != kWhole)
        for (size_t i = 0; i < n; ++i)
            below_[i] += std::uint64_t(across_[i]) * (kWhole - s.first);
    if (in_ == int(rows_.size()))
        while (out_ < into_->height())
            finish_row();
}

void AreaScaler::finish_row() {
    uchar* out = into_->scanLine(out_);
    const double down = row_scale_[size_t(out_)];
    const std::uint64_t* sum = here_.data();
    for (int j = 0; j < into_->width(); ++j, out += 4, sum += 3) {
        const double scale = column_scale_[size_t(j)] * down;
        for (int c = 0; c < 3; ++c)
            out[kColour + c] = uchar(std::min(255.0, std::floor(double(sum[c]) * scale + 0.5)));
        out[kUnused] = 0xFF;
    }
    here_.swap(below_);
    std::fill(below_.begin(), below_.end(), 0);
    ++out_;
}

} // namespace platform
