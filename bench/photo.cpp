#include "bench/photo.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bench {

QImage photo(int w, int h, unsigned seed) {
    QImage image(w, h, QImage::Format_RGB32);
    // Light falling across the frame, precomputed per column and per row.
    std::vector<int> col(w), row(h);
    const double phase = seed * 0.7;
    for (int x = 0; x < w; ++x)
        col[x] = int(60 * std::sin(x * 6.0 / w + phase));
    for (int y = 0; y < h; ++y)
        row[y] = int(50 * std::cos(y * 4.0 / h + phase));
    std::uint32_t state = 2463534242u ^ (seed * 2654435761u);
    const auto noise = [&] { // xorshift: fast and good enough for sensor grain
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return int(state & 31) - 16;
    };
    const int cx = int(w * (0.3 + 0.05 * (seed % 5))), cy = h / 2, radius = std::min(w, h) / 3;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int dx = x - cx, dy = y - cy;
            const bool inside = dx * dx + dy * dy < radius * radius;   // an object with a hard edge
            const int texture = ((x * 7 + y * 3) ^ (x * y >> 5)) & 15; // foliage-like detail
            const int base = 120 + col[x] + row[y] + texture;
            const int r = base + (inside ? 60 : 0) + noise();
            const int g = base - (inside ? 30 : 0) + noise();
            const int b = base + (inside ? -50 : 40) - texture + noise();
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return image;
}

double psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += d * d;
        }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

} // namespace bench
