#pragma once

#include <QString>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace zobran {

// What a run tells while it goes, from the thread it works on: a status line (each one replaces the
// last), and actions for the side that shows the run (a line for a log, a piece of a tool's output),
// which run there in the order they were posted. That side takes what came since it last looked, at
// its own pace; what a run posts after it was given up is never run. Safe between threads.
class RunProgress {
public:
    void setStatus(const QString& text);
    void post(std::function<void()> action);

    struct News {
        std::optional<QString> status; // the newest status, when it changed
        std::vector<std::function<void()>> actions;
    };
    // Everything since the last call.
    News take();

private:
    std::mutex mutex_;
    News pending_;
};

} // namespace zobran
