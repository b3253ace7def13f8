#pragma once
#include <QImage>
#include <QString>
#include <memory>
#include <thread>

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

    // Starts decoding `path` unless it is the one ahead already.
    void start(const QString& path);
    // The picture decoded ahead for `path`, waiting for it when it is still being decoded;
    // a null image when there is none or the file has changed since. Nothing stays ahead.
    QImage take(const QString& path);
    // Waits until the picture ahead is decoded.
    void wait() { finish_worker(); }
    // Forgets the picture ahead (its memory goes once the worker is done with it).
    void drop();

  private:
    struct Job;
    void finish_worker();
    std::shared_ptr<Job> job_;
    std::thread worker_;
};

} // namespace platform
