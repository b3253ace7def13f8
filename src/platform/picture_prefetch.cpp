#include "platform/picture_prefetch.h"

#include "platform/file_names.h"
#include "platform/picture_io.h"

namespace platform {

struct Prefetch::Job {
    QString path;
    FileStamp before;
    QImage image;
};

Prefetch::~Prefetch() {
    finish_worker();
}

void Prefetch::finish_worker() {
    if (worker_.joinable()) worker_.join();
}

void Prefetch::start(const QString& path) {
    if (job_ && job_->path == path) return;
    finish_worker();
    job_ = std::make_shared<Job>();
    job_->path = path;
    worker_ = std::thread([job = job_] {
        job->before = file_stamp(job->path);
        // Metafiles are drawn by a child program; they are read when shown, not ahead.
        if (is_raster_picture(job->path)) job->image = read_picture(job->path);
    });
}

QImage Prefetch::take(const QString& path) {
    if (!job_) return {};
    if (job_->path != path) {
        drop();
        return {};
    }
    finish_worker();
    const std::shared_ptr<Job> job = std::move(job_);
    // A file replaced or rewritten since it was read is read again.
    if (job->image.isNull() || job->before.size < 0 || file_stamp(path) != job->before) return {};
    return std::move(job->image);
}

void Prefetch::drop() {
    finish_worker();
    job_.reset();
}

} // namespace platform
