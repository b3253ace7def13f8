#pragma once
#include <QImage>
#include <QSize>
#include <array>
#include <cstdint>
#include <vector>

namespace platform {

// Reduces a picture row by row as a decoder delivers its rows, so that the larger picture never
// exists whole: each pixel of the result is the average of the part of the source it covers,
// a source pixel on the border of two counting into both by its share.
class AreaScaler {
  public:
    // `into` is a 32-bit RGB picture no larger than `from` either way; it is filled as rows
    // come in and complete after the last one.
    AreaScaler(QSize from, QImage* into);
    // Where the next source row goes: `from`'s width in 32-bit RGB pixels.
    uchar* row() { return reinterpret_cast<uchar*>(row_.data()); }
    // Counts in the row written at row(). Rows come from the top down.
    void add_row();

  private:
    // Along one axis, the source pixels each result pixel averages: from `first` on, `count`
    // of them, with weights in 256ths that add up to 256.
    struct Taps {
        std::vector<int> first, count, at; // `at`: where the result pixel's weights begin
        std::vector<std::uint32_t> weight;
        Taps(int from, int to);
    };
    // A result row being summed: red and blue, alpha and green, side by side in one word each.
    struct Sum {
        std::vector<std::uint32_t> rb, ag;
    };

    QImage* into_;
    std::vector<std::uint32_t> row_, across_; // a source row (and one pixel more), reduced across
    Taps columns_, rows_;
    std::array<Sum, 2> sums_; // for result rows of even and odd number
    int in_ = 0;              // source rows taken
    int out_ = 0;             // result rows finished
};

} // namespace platform
