#pragma once
#include <QImage>

namespace bench {

// A picture that compresses like a camera photo: smooth light, hard edges, fine texture and
// sensor noise. Each seed gives a different picture.
QImage photo(int w, int h, unsigned seed);

// Closeness of two pictures of one size (peak signal-to-noise ratio in dB; higher is closer).
double psnr(const QImage& a, const QImage& b);

} // namespace bench
