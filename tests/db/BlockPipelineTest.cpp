#include "db/odbc/BlockPipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace zobran::db;

namespace {

// Blocks as a fetch fills them: each holds the number of the fill that filled it and may be filled
// only once drained. Checks what the pipeline promises and counts what happened.
struct Blocks {
    explicit Blocks(int count) : filledWith(std::size_t(count), -1) {}

    std::vector<int> filledWith; // -1: empty
    std::atomic<int> fills{0};
    std::atomic<int> fillsEnded{0};
    std::atomic<bool> refilledUndrained{false};
    std::vector<int> drained; // the fill numbers, in the order drained

    bool fill(int block, int last, int failAt = -1, int slowAt = -1)
    {
        const int n = fills++;
        const struct Ended {
            std::atomic<int>& ended;
            ~Ended() { ++ended; }
        } ended{fillsEnded};
        if (n == slowAt)
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        if (n == failAt)
            throw std::runtime_error("fetch failed");
        if (filledWith[std::size_t(block)] != -1)
            refilledUndrained = true;
        filledWith[std::size_t(block)] = n;
        return n == last;
    }
    void drain(int block)
    {
        drained.push_back(filledWith[std::size_t(block)]);
        filledWith[std::size_t(block)] = -1;
    }
};

std::vector<int> upTo(int count)
{
    std::vector<int> numbers;
    for (int i = 0; i < count; ++i)
        numbers.push_back(i);
    return numbers;
}

} // namespace

TEST(BlockPipeline, EveryBlockIsDrainedInTheOrderFilledAndNeverFilledAgainBeforeThat)
{
    for (const int blockCount : {1, 2, 3}) {
        for (const int last : {0, 1, 40}) {
            Blocks blocks(blockCount);
            runBlockPipeline(
                blockCount, [&](int b) { return blocks.fill(b, last); }, [&](int b) { blocks.drain(b); });
            EXPECT_EQ(blocks.drained, upTo(last + 1)) << blockCount << " blocks, last " << last;
            EXPECT_FALSE(blocks.refilledUndrained) << blockCount << " blocks, last " << last;
        }
    }
}

TEST(BlockPipeline, AFailedFillComesOutAfterTheBlocksFilledBeforeIt)
{
    for (const int failAt : {0, 1, 7}) {
        Blocks blocks(3);
        try {
            runBlockPipeline(
                3, [&](int b) { return blocks.fill(b, 100, failAt); }, [&](int b) { blocks.drain(b); });
            ADD_FAILURE() << "no failure at fill " << failAt;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "fetch failed");
        }
        EXPECT_EQ(blocks.drained, upTo(failAt)) << failAt;
        EXPECT_EQ(blocks.fills, failAt + 1) << "nothing is filled after the failure";
    }
}

TEST(BlockPipeline, AFailedDrainStopsTheFillingThreadBeforeItComesOut)
{
    // The drain fails at its third block (the run is stopped, the sink refuses a row), also while a
    // slow fill is going on: the pipeline comes back once that fill has ended, and fills no more.
    for (const int slowAt : {-1, 3, 4}) {
        Blocks blocks(2);
        const auto failingDrain = [&](int b) {
            if (blocks.drained.size() == 2)
                throw std::runtime_error("stopped");
            blocks.drain(b);
        };
        EXPECT_THROW(runBlockPipeline(
                         2, [&](int b) { return blocks.fill(b, 1000, -1, slowAt); }, failingDrain),
                     std::runtime_error);
        const int fills = blocks.fills;
        EXPECT_EQ(blocks.fillsEnded, fills) << "a fill still going after the pipeline came back";
        EXPECT_LE(fills, 2 + 2 + 1) << "filled on after the drain failed";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(blocks.fills, fills) << "the filling thread went on";
        EXPECT_EQ(blocks.drained, upTo(2));
    }
}
