#include "basics/RunProgress.h"

namespace zobran {

void RunProgress::setStatus(const QString& text)
{
    const std::lock_guard lock(mutex_);
    pending_.status = text;
}

void RunProgress::post(std::function<void()> action)
{
    const std::lock_guard lock(mutex_);
    pending_.actions.push_back(std::move(action));
}

RunProgress::News RunProgress::take()
{
    const std::lock_guard lock(mutex_);
    News news = std::move(pending_);
    pending_ = News();
    return news;
}

} // namespace zobran
