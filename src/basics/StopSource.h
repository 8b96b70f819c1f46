#pragma once

#include <functional>
#include <memory>

namespace zobran {

// How a run is told to stop: a flag its steps look at between them, and actions that interrupt the
// step in flight (a statement the driver cancels, a process that is ended). Copies share one state.
//
// requestStop() never waits: the actions run on a thread of their own, since interrupting may wait
// on a server that does not answer. An action stays registered for as long as its Registration
// lives; ending a registration waits for an action of it that is running.
class StopSource {
public:
    StopSource();

    // From any thread, as often as wanted; the actions run once.
    void requestStop() const;
    bool stopRequested() const noexcept;
    // Raises RunStopped when a stop was requested.
    void throwIfStopRequested() const;

    class Registration {
    public:
        Registration() = default;
        ~Registration();
        Registration(Registration&& other) noexcept;
        Registration& operator=(Registration&& other) noexcept;
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

        struct State; // shared by the source, its copies and the registrations

    private:
        friend class StopSource;
        Registration(std::shared_ptr<State> state, long id) : state_(std::move(state)), id_(id) {}
        void release() noexcept;
        std::shared_ptr<State> state_;
        long id_ = 0;
    };

    // The action runs when a stop is requested while the registration lives (at once, on a thread
    // of its own, when the stop was requested already).
    [[nodiscard]] Registration onStop(std::function<void()> action) const;

private:
    std::shared_ptr<Registration::State> state_;
};

} // namespace zobran
