#pragma once
#include "platform/picture_io.h"

#include <QImage>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// One picture decoded ahead on a worker thread: the one the slideshow will most likely show
// next. It is handed out only for the same path while the file is still as it was read (same
// size and modification time), so what is shown is always what the file holds now.
namespace platform {

class Prefetch {
  public:
    Prefetch() = default;
    Prefetch(const Prefetch&) = delete;
    Prefetch& operator=(const Prefetch&) = delete;
    ~Prefetch();

    // Starts decoding `path`, at no more than `needed` of it (see ReadOptions), unless it is
    // the one ahead already. `needed` runs on the worker thread.
    void start(const QString& path, SizeNeeded needed = {});
    // The picture decoded ahead for `path`, waiting for it when it is still being decoded,
    // and its own size; a null image when there is none or the file has changed since.
    // Nothing stays ahead.
    QImage take(const QString& path, QSize* own);
    // Waits until the picture ahead is decoded.
    void wait() { finish_worker(); }
    // Forgets the picture ahead without waiting: a decode in progress finishes on its own and
    // its picture is thrown away.
    void drop();
    // Workers of dropped pictures still decoding.
    int dropped_running();

  private:
    struct Job;
    struct Dropped {
        std::shared_ptr<Job> job;
        std::thread worker;
    };
    void finish_worker();
    void reap_dropped();
    std::shared_ptr<Job> job_;
    std::thread worker_;
    std::vector<Dropped> dropped_;
};

} // namespace platform
