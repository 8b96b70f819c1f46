#include "basics/StopSource.h"

#include "basics/RunStopped.h"

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace zobran {

struct StopSource::Registration::State {
    std::atomic<bool> requested{false};
    std::mutex mutex; // held while actions run, and while a registration comes or goes
    std::map<long, std::function<void()>> actions;
    long nextId = 1;
};

namespace {

using State = StopSource::Registration::State;

// Runs the actions on a thread of its own; the state lives as long as that thread needs it.
void runActionsDetached(const std::shared_ptr<State>& state)
{
    std::thread([state] {
        const std::lock_guard lock(state->mutex);
        for (auto& [id, action] : state->actions)
            action();
    }).detach();
}

} // namespace

StopSource::StopSource() : state_(std::make_shared<State>()) {}

void StopSource::requestStop() const
{
    if (state_->requested.exchange(true))
        return;
    runActionsDetached(state_);
}

bool StopSource::stopRequested() const noexcept
{
    return state_->requested.load();
}

void StopSource::throwIfStopRequested() const
{
    if (stopRequested())
        throw RunStopped();
}

StopSource::Registration StopSource::onStop(std::function<void()> action) const
{
    long id = 0;
    {
        const std::lock_guard lock(state_->mutex);
        id = state_->nextId++;
        state_->actions.emplace(id, std::move(action));
    }
    // A stop requested before the registration interrupts at once.
    if (stopRequested()) {
        std::thread([state = state_, id] {
            const std::lock_guard lock(state->mutex);
            if (const auto found = state->actions.find(id); found != state->actions.end())
                found->second();
        }).detach();
    }
    return Registration(state_, id);
}

StopSource::Registration::~Registration()
{
    release();
}

StopSource::Registration::Registration(Registration&& other) noexcept : state_(std::move(other.state_)), id_(other.id_)
{
}

StopSource::Registration& StopSource::Registration::operator=(Registration&& other) noexcept
{
    if (this != &other) {
        release();
        state_ = std::move(other.state_);
        id_ = other.id_;
    }
    return *this;
}

void StopSource::Registration::release() noexcept
{
    if (!state_)
        return;
    {
        const std::lock_guard lock(state_->mutex);
        state_->actions.erase(id_);
    }
    state_.reset();
}

} // namespace zobran
