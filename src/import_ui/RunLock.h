#pragma once

#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <utility>
#include <vector>

namespace zobran {

// While a run goes on, the controls that could start something else or change what it works on are
// disabled; each gets its former state back when the lock ends.
class RunLock {
public:
    explicit RunLock(std::initializer_list<QWidget*> controls)
    {
        for (QWidget* control : controls) {
            controls_.emplace_back(control, control->isEnabled());
            control->setEnabled(false);
        }
    }
    ~RunLock()
    {
        for (auto& [control, enabled] : controls_)
            if (control)
                control->setEnabled(enabled);
    }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

private:
    std::vector<std::pair<QPointer<QWidget>, bool>> controls_;
};

} // namespace zobran
