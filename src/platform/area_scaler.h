#pragma once
#include <QImage>
#include <QSize>
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
    uchar* row() { return row_.data(); }
    // Counts in the row written at row(). Rows come from the top down.
    void add_row();

  private:
    // Where a source pixel goes along one axis: into `to` with `first` of 256, the rest into
    // to + 1.
    struct Share {
        int to;
        std::uint32_t first;
    };
    static std::vector<Share> shares(int from, int to, std::vector<double>* inverse_totals);
    void finish_row();

    QImage* into_;
    std::vector<uchar> row_;
    std::vector<double> column_scale_, row_scale_; // 1 / the weight each result pixel gets
    std::vector<Share> columns_, rows_;            // made with the above
    std::vector<std::uint32_t> across_;            // the source row reduced across, per channel
    std::vector<std::uint64_t> here_, below_;      // result rows being summed: current, next
    int in_ = 0;                                   // source rows taken
    int out_ = 0;                                  // result rows finished
};

} // namespace platform
