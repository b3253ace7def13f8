#include "platform/area_scaler.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Channels are summed two to a word, each weighted pixel in 16 bits (255 x 256 at most, and
// the weights of one result pixel add up to 256), so one multiplication weighs two channels.
constexpr std::uint32_t kLow = 0x00FF00FF;
constexpr std::uint32_t kHalf = 0x00800080;

std::uint32_t joined(std::uint32_t rb, std::uint32_t ag) {
    return (((rb + kHalf) >> 8) & kLow) | ((ag + kHalf) & ~kLow);
}

} // namespace

AreaScaler::Taps::Taps(int from, int to) {
    const double k = double(from) / to; // source pixels per result pixel, 1 or more
    for (int j = 0; j < to; ++j) {
        const double a = j * k, b = std::min((j + 1) * k, double(from));
        const int x0 = std::min(int(a), from - 1);
        const int x1 = std::clamp(int(std::ceil(b)), x0 + 1, from);
        first.push_back(x0);
        count.push_back(x1 - x0);
        at.push_back(int(weight.size()));
        // Each pixel's share by where the covered part has come to, so that the shares add up
        // to exactly 256.
        std::uint32_t before = 0;
        for (int x = x0; x < x1; ++x) {
            const double covered = (std::min(x + 1.0, b) - a) / (b - a);
            const auto upto = std::uint32_t(std::lround(256 * std::clamp(covered, 0.0, 1.0)));
            weight.push_back(upto - before);
            before = upto;
        }
        if (x1 - x0 < 2) weight.push_back(0); // every pixel has two, for the unrolled sum
    }
}

AreaScaler::AreaScaler(QSize from, QImage* into)
    : into_(into), row_(size_t(from.width()) + 1), across_(size_t(into->width())),
      columns_(from.width(), into->width()), rows_(from.height(), into->height()) {
    for (Sum& s : sums_) {
        s.rb.assign(across_.size(), 0);
        s.ag.assign(across_.size(), 0);
    }
}

void AreaScaler::add_row() {
    if (out_ >= into_->height()) return;
    const int y = in_++;
    const int w = into_->width();
    const std::uint32_t* in = row_.data();
    for (int j = 0; j < w; ++j) {
        const std::uint32_t* p = in + columns_.first[size_t(j)];
        const std::uint32_t* share = columns_.weight.data() + columns_.at[size_t(j)];
        const int n = columns_.count[size_t(j)];
        // Two or three pixels each unless the reduction is strong: those without a loop.
        std::uint32_t rb = (p[0] & kLow) * share[0] + (p[1] & kLow) * share[1];
        std::uint32_t ag = ((p[0] >> 8) & kLow) * share[0] + ((p[1] >> 8) & kLow) * share[1];
        for (int t = 2; t < n; ++t) {
            rb += (p[t] & kLow) * share[t];
            ag += ((p[t] >> 8) & kLow) * share[t];
        }
        across_[size_t(j)] = joined(rb, ag);
    }
    // This row counts into the result row being finished and perhaps the next one.
    for (int i = out_; i < into_->height() && rows_.first[size_t(i)] <= y; ++i) {
        const int t = y - rows_.first[size_t(i)];
        if (t >= rows_.count[size_t(i)]) continue;
        const std::uint32_t share = rows_.weight[size_t(rows_.at[size_t(i)] + t)];
        Sum& s = sums_[size_t(i % 2)];
        for (int j = 0; j < w; ++j) {
            s.rb[size_t(j)] += (across_[size_t(j)] & kLow) * share;
            s.ag[size_t(j)] += ((across_[size_t(j)] >> 8) & kLow) * share;
        }
    }
    // Result rows whose last source row this was.
    while (out_ < into_->height() &&
           rows_.first[size_t(out_)] + rows_.count[size_t(out_)] - 1 <= y) {
        Sum& s = sums_[size_t(out_ % 2)];
        auto* line = reinterpret_cast<std::uint32_t*>(into_->scanLine(out_));
        for (int j = 0; j < w; ++j)
            line[j] = joined(s.rb[size_t(j)], s.ag[size_t(j)]);
        std::fill(s.rb.begin(), s.rb.end(), 0);
        std::fill(s.ag.begin(), s.ag.end(), 0);
        ++out_;
    }
}

} // namespace platform
