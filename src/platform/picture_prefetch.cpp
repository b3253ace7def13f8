#include "platform/picture_prefetch.h"

#include "platform/picture_io.h"

#include <QDateTime>
#include <QFileInfo>

namespace platform {

namespace {

struct Stamp {
    qint64 size = -1;
    qint64 modified = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp stamp(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

} // namespace

struct Prefetch::Job {
    QString path;
    Stamp before;
    SizeNeeded needed;
    QImage image;
    QSize own;
    std::atomic<bool> dropped{false};
    std::atomic<bool> done{false};
};

Prefetch::~Prefetch() {
    finish_worker();
    for (Dropped& d : dropped_)
        d.worker.join();
}

void Prefetch::finish_worker() {
    if (worker_.joinable()) worker_.join();
}

void Prefetch::start(const QString& path, SizeNeeded needed) {
    if (job_ && job_->path == path) return;
    drop();
    job_ = std::make_shared<Job>();
    job_->path = path;
    job_->needed = std::move(needed);
    worker_ = std::thread([job = job_] {
        job->before = stamp(job->path);
        // Metafiles are drawn by a child program; they are read when shown, not ahead.
        if (is_raster_picture(job->path)) {
            QSize own;
            QImage image = read_picture(job->path, {job->needed, &job->dropped}, &own);
            job->own = own;
            // A picture nobody waits for any more lets its memory go at once.
            if (!job->dropped) job->image = std::move(image);
        }
        job->done = true;
    });
}

QImage Prefetch::take(const QString& path, QSize* own) {
    reap_dropped();
    if (!job_) return {};
    if (job_->path != path) {
        drop();
        return {};
    }
    finish_worker();
    const std::shared_ptr<Job> job = std::move(job_);
    // A file replaced or rewritten since it was read is read again.
    if (job->image.isNull() || job->before.size < 0 || stamp(path) != job->before) return {};
    *own = job->own;
    return std::move(job->image);
}

void Prefetch::drop() {
    reap_dropped();
    if (job_) job_->dropped = true;
    if (worker_.joinable()) dropped_.push_back({std::move(job_), std::move(worker_)});
    job_.reset();
}

void Prefetch::reap_dropped() {
    std::erase_if(dropped_, [](Dropped& d) {
        if (!d.job->done) return false;
        d.worker.join(); // at its end already
        return true;
    });
}

int Prefetch::dropped_running() {
    reap_dropped();
    return int(dropped_.size());
}

} // namespace platform
