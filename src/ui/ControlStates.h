#pragma once

#include <vector>

class QWidget;

namespace zobran {

// The state of a window's controls, recorded once and given back at will: a reused window records
// it when it is built and gets it back at every opening, so a control nobody resets by hand does
// not keep what the last opening left in it.
//
// The controls are the window's child widgets and, inside frames (group boxes, stacked pages,
// plain widgets), theirs; the parts a control is built of (scroll bars, viewports, headers) and
// windows of their own are not. What is kept of each: shown or hidden, explicitly disabled or not,
// geometry, palette and stacking order; the text of labels, text boxes, text areas, buttons and
// frame titles; the tick of checkable buttons and frames; the current index of combo boxes, tab
// bars and stacked widgets; the value of spin boxes; the items of list and tree widgets. The
// contents of models a view shows belong to their owner, not to the view.
class ControlStates {
public:
    ControlStates();
    ~ControlStates();
    ControlStates(const ControlStates&) = delete;
    ControlStates& operator=(const ControlStates&) = delete;

    // Records the controls of the window as they are now (replacing what was recorded).
    void record(QWidget& window);
    // Gives every recorded control back what it had when recorded, without telling anyone (no
    // signal is sent). Controls that have gone since are passed over.
    void restore() const;

private:
    struct Control;
    void recordChildrenOf(QWidget& parent);
    std::vector<Control> controls_;
};

} // namespace zobran
