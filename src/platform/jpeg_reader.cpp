#include "platform/jpeg_reader.h"

#include "platform/area_scaler.h"

#include <QMutex>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <new>
#include <optional>
#include <utility>

namespace platform {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void on_error(j_common_ptr c) {
    auto* e = reinterpret_cast<ErrorManager*>(c->err);
    (*c->err->format_message)(c, e->message);
    std::longjmp(e->jump, 1);
}

// Warnings about slightly damaged data leave the picture readable, as the general reader does.
void on_message(j_common_ptr, int) {}

// Fresh memory costs a fault per page on first touch, which for a large photo decoded whole (for
// the loupe, the own size) takes about as long as decoding it. The pixels of a large picture let
// go are kept as one spare and lent to the next picture of the same size: photos from one camera
// then decode into memory that is already mapped. A picture of any other size lets the spare go,
// so it is held no longer than while one picture replaces another; pictures decoded at the size
// shown are small enough to do without.
class SparePixels {
  public:
    static QImage image(int w, int h) {
        const size_t bytes = size_t(w) * size_t(h) * 4;
        auto* block = static_cast<Block*>(take(bytes));
        if (!block) block = allocate(bytes);
        if (!block) return {};
        block->bytes = bytes;
        return QImage(block->pixels(), w, h, qsizetype(w) * 4, QImage::Format_RGB32,
                      &SparePixels::give_back, block);
    }

  private:
    struct alignas(64) Block { // the pixels follow the header
        size_t bytes;
        uchar* pixels() { return reinterpret_cast<uchar*>(this + 1); }
    };
    static constexpr size_t kLarge = size_t(16) << 20;
    // Allocated with the block's own alignment: plain allocation promises only 16 bytes, and
    // only large blocks, which come straight from the system, happen to start on a page.
    static Block* allocate(size_t bytes) {
        void* p =
            ::operator new(sizeof(Block) + bytes, std::align_val_t(alignof(Block)), std::nothrow);
        return p ? new (p) Block{} : nullptr;
    }
    static void release(Block* block) {
        ::operator delete(block, std::align_val_t(alignof(Block)));
    }
    static void* take(size_t bytes) {
        QMutexLocker lock(&mutex_);
        Block* spare = std::exchange(spare_, nullptr);
        if (spare && spare->bytes == bytes) return spare;
        release(spare);
        return nullptr;
    }
    static void give_back(void* block) { // runs when the last copy of a picture goes
        auto* b = static_cast<Block*>(block);
        if (b->bytes < kLarge) return release(b);
        QMutexLocker lock(&mutex_);
        release(std::exchange(spare_, b));
    }
    static inline QBasicMutex mutex_; // no destructor: pictures may outlive static objects
    static inline Block* spare_ = nullptr;
};

// The largest reduction libjpeg can decode at that still gives at least `need`.
unsigned reduction(unsigned w, unsigned h, QSize need) {
    for (unsigned d : {8u, 4u, 2u})
        if ((w + d - 1) / d >= unsigned(std::max(need.width(), 1)) &&
            (h + d - 1) / d >= unsigned(std::max(need.height(), 1)))
            return d;
    return 1;
}

// The size to deliver a decode of size `decoded` at: the size needed when the options ask for
// exactly that and it is smaller.
QSize delivered(const ReadOptions& options, QSize own, QSize decoded) {
    if (!options.exact || !options.needed) return decoded;
    const QSize need = options.needed(own);
    return need.isValid() && !need.isEmpty() && need.width() <= decoded.width() &&
                   need.height() <= decoded.height()
               ? need
               : decoded;
}

// Kept out of read_jpeg so that nothing on its stack changes between setjmp and longjmp.
bool decode(jpeg_decompress_struct& cinfo, ErrorManager& err, const QByteArray& data,
            qint64 max_pixels, const ReadOptions& options, QImage* out,
            std::optional<AreaScaler>* scaler, QSize* own, bool* general, QString* why) {
    if (setjmp(err.jump)) {
        if (why) *why = QString::fromLocal8Bit(err.message);
        return false;
    }
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    const auto space = cinfo.jpeg_color_space;
    if (space != JCS_YCbCr && space != JCS_GRAYSCALE && space != JCS_RGB) {
        *general = true;
        return false;
    }
    if (qint64(cinfo.image_width) * cinfo.image_height > max_pixels) {
        if (why) *why = QStringLiteral("picture too large");
        return false;
    }
    *own = QSize(int(cinfo.image_width), int(cinfo.image_height));
    if (options.needed) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = reduction(cinfo.image_width, cinfo.image_height, options.needed(*own));
    }
    // The bytes of a 32-bit RGB pixel in memory, with its unused byte set to 0xFF.
    cinfo.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_start_decompress(&cinfo);
    const QSize decoded(int(cinfo.output_width), int(cinfo.output_height));
    const QSize size = delivered(options, *own, decoded);
    *out = SparePixels::image(size.width(), size.height());
    if (out->isNull()) {
        if (why) *why = QStringLiteral("out of memory");
        return false;
    }
    if (size != decoded) scaler->emplace(decoded, out);
    while (cinfo.output_scanline < cinfo.output_height) {
        if (options.cancel && options.cancel->load(std::memory_order_relaxed)) {
            if (why) *why = QStringLiteral("cancelled");
            *out = QImage();
            return false;
        }
        JSAMPROW row = *scaler ? (*scaler)->row() : out->scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (*scaler) (*scaler)->add_row();
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

std::optional<QImage> read_jpeg(const QByteArray& data, qint64 max_pixels,
                                const ReadOptions& options, QSize* own, QString* why) {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = on_error;
    err.pub.emit_message = on_message;
    jpeg_create_decompress(&cinfo);
    QImage image;
    std::optional<AreaScaler> scaler; // out here: nothing on decode's stack outlives a longjmp
    bool general = false;
    const bool ok =
        decode(cinfo, err, data, max_pixels, options, &image, &scaler, own, &general, why);
    jpeg_destroy_decompress(&cinfo);
    if (general) return std::nullopt;
    if (!ok) return QImage();
    return image;
}

} // namespace platform
