#include "db/odbc/BlockPipeline.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace zobran::db {

namespace {

// The blocks going round between the filling thread and the draining one. The filling thread ends
// at the last block, at a failure (kept for the draining thread) or when told to stop.
class BlockQueue {
public:
    explicit BlockQueue(int blockCount)
    {
        for (int i = 0; i < blockCount; ++i)
            empty_.push_back(i);
    }

    // Filling side.
    bool takeEmpty(int& index)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || !empty_.empty(); });
        if (stop_)
            return false;
        index = empty_.front();
        empty_.pop_front();
        return true;
    }
    void putFilled(int index, bool last)
    {
        {
            const std::lock_guard lock(mutex_);
            filled_.push_back(index);
            ended_ = last;
        }
        changed_.notify_all();
    }
    void fail(std::exception_ptr error)
    {
        {
            const std::lock_guard lock(mutex_);
            error_ = std::move(error);
            ended_ = true;
        }
        changed_.notify_all();
    }

    // Draining side: false when no block is left (then rethrowFailure()).
    bool takeFilled(int& index)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ended_ || !filled_.empty(); });
        if (filled_.empty())
            return false;
        index = filled_.front();
        filled_.pop_front();
        return true;
    }
    void putEmpty(int index)
    {
        {
            const std::lock_guard lock(mutex_);
            empty_.push_back(index);
        }
        changed_.notify_all();
    }
    void rethrowFailure()
    {
        const std::lock_guard lock(mutex_);
        if (error_)
            std::rethrow_exception(error_);
    }
    void stop()
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> empty_;
    std::deque<int> filled_;
    bool ended_ = false;
    bool stop_ = false;
    std::exception_ptr error_;
};

// Runs the filling thread; stops and joins it when it goes, also when the draining side fails.
class FillingThread {
public:
    FillingThread(const std::function<bool(int)>& fill, BlockQueue& queue)
        : queue_(queue), thread_([&fill, &queue] {
              try {
                  int index = 0;
                  while (queue.takeEmpty(index)) {
                      const bool last = fill(index);
                      queue.putFilled(index, last);
                      if (last)
                          return;
                  }
              } catch (...) {
                  queue.fail(std::current_exception());
              }
          })
    {
    }
    ~FillingThread()
    {
        queue_.stop();
        thread_.join();
    }
    FillingThread(const FillingThread&) = delete;
    FillingThread& operator=(const FillingThread&) = delete;

private:
    BlockQueue& queue_;
    std::thread thread_;
};

} // namespace

void runBlockPipeline(int blockCount, const std::function<bool(int block)>& fill,
                      const std::function<void(int block)>& drain)
{
    BlockQueue queue(blockCount);
    FillingThread filling(fill, queue);
    int index = 0;
    while (queue.takeFilled(index)) {
        drain(index);
        queue.putEmpty(index);
    }
    queue.rethrowFailure();
}

} // namespace zobran::db
