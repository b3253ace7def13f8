#include "platform/picture_prefetch.h"

#include <algorithm>

namespace platform {

Prefetch::~Prefetch() {
    drop();
    for (Worker& w : dropped_)
        if (w.thread.joinable()) w.thread.join();
}

void Prefetch::start(const QString& path, ReadOptions options) {
    reap_dropped();
    if (std::any_of(ahead_.begin(), ahead_.end(),
                    [&](const Worker& w) { return w.job->path == path; }))
        return;
    auto job = std::make_shared<Job>();
    job->path = path;
    job->options = std::move(options);
    job->options.cancel = &job->dropped;
    ahead_.push_back({job, std::thread([job] {
                          job->before = file_stamp(job->path);
                          // Metafiles are drawn by a child program; they are read when shown.
                          if (is_raster_picture(job->path)) {
                              HeldPicture picture = read_held_picture(job->path, job->options);
                              // A picture nobody waits for any more lets its memory go at once.
                              if (!job->dropped) job->picture = std::move(picture);
                          }
                          job->done = true;
                      })});
}

void Prefetch::keep_only(const QStringList& paths) {
    reap_dropped();
    std::erase_if(ahead_, [&](Worker& w) {
        if (paths.contains(w.job->path)) return false;
        w.job->dropped = true;
        dropped_.push_back(std::move(w));
        return true;
    });
}

std::optional<HeldPicture> Prefetch::take(const QString& path) {
    reap_dropped();
    const auto it = std::find_if(ahead_.begin(), ahead_.end(),
                                 [&](const Worker& w) { return w.job->path == path; });
    if (it == ahead_.end()) return std::nullopt;
    if (it->thread.joinable()) it->thread.join();
    const std::shared_ptr<Job> job = std::move(it->job);
    ahead_.erase(it);
    // A file replaced or rewritten since it was read is read again.
    if (job->picture.image.isNull() || job->before.size < 0 || file_stamp(path) != job->before)
        return std::nullopt;
    ++taken_;
    return std::move(job->picture);
}

QStringList Prefetch::ahead() const {
    QStringList paths;
    for (const Worker& w : ahead_)
        paths << w.job->path;
    return paths;
}

void Prefetch::wait() {
    for (Worker& w : ahead_)
        if (w.thread.joinable()) w.thread.join();
}

void Prefetch::reap_dropped() {
    std::erase_if(dropped_, [](Worker& w) {
        if (!w.job->done) return false;
        if (w.thread.joinable()) w.thread.join(); // at its end already
        return true;
    });
}

int Prefetch::dropped_running() {
    reap_dropped();
    return int(dropped_.size());
}

} // namespace platform
