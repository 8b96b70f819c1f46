#pragma once

#include "support/RunWait.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zobran::test {

// Presses the window's Stop button while its run goes, after `after` milliseconds, and tells how
// long the window took to take input again.
inline qint64 stopAndTime(ModalWindow& window, int after = 300)
{
    EXPECT_TRUE(window.isBusy()) << "the run should still go";
    QTest::qWait(after);
    auto* stop = window.findChild<QPushButton*>(QStringLiteral("CStop"));
    EXPECT_NE(stop, nullptr);
    EXPECT_TRUE(stop && stop->isVisible() && stop->isEnabled());
    QElapsedTimer clock;
    clock.start();
    if (stop)
        QTest::mouseClick(stop, Qt::LeftButton);
    settle(&window, 5000);
    return clock.elapsed();
}

} // namespace zobran::test
