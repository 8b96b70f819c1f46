#pragma once

#include "ui/ModalWindow.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace zobran::test {

// Waits until the run a control's window started (if any) has ended and its end has been shown, as
// a user waits for the window to take input again.
inline void settle(QWidget* anyControl, int timeoutMs = 60000)
{
    auto* window = qobject_cast<ModalWindow*>(anyControl->window());
    if (!window)
        return;
    EXPECT_TRUE(QTest::qWaitFor([window] { return !window->isBusy(); }, timeoutMs)) << "the run did not end";
}

} // namespace zobran::test
