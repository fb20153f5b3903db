#include "reader/f0008/SwipCard_Lib_x/Audio/RQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "platform/foundation/RunLoop.h"

namespace nvx::reader::f0008 {
namespace {

RQueue::Data block(int16_t v) { return RQueue::Data{v, v}; }

TEST(RQueueTest, AnInterruptReleasesTheConsumerAndQueuedBlocksStillComeOutInOrder) {
  RQueue queue;
  queue.Interrupt();
  EXPECT_FALSE(queue.OutQueue()) << "an interrupted empty queue answers at once";

  queue.EnterQueue(block(1));
  queue.EnterQueue(block(2));
  EXPECT_EQ(queue.Count(), 2u);
  EXPECT_EQ(queue.OutQueue(), block(1));
  EXPECT_EQ(queue.OutQueue(), block(2));
  EXPECT_FALSE(queue.OutQueue());
}

TEST(RQueueTest, AWaitingConsumerWakesForABlockAndForAnInterrupt) {
  auto shared = std::make_shared<RQueue>();
  RQueue& queue = *shared;
  auto first = std::make_shared<std::atomic<int>>(0);
  auto second = std::make_shared<std::atomic<int>>(0);  // 1: nothing came back
  platform::Thread::detach("rqueue-consumer", [shared, first, second] {
    auto a = shared->OutQueue();
    *first = a ? a->front() : -1;
    auto b = shared->OutQueue();
    *second = b ? b->front() : 1;
  });
  auto& loop = platform::RunLoop::main();
  loop.runUntil([] { return false; }, platform::secs(1));
  EXPECT_EQ(*first, 0) << "it waits while the queue is empty";
  queue.EnterQueue(block(7));
  // The consumer wakes in real time, not on the clock.
  ASSERT_TRUE(loop.drainIoUntil([&] { return *first != 0; }, std::chrono::seconds(5)));
  EXPECT_EQ(*first, 7);
  queue.Interrupt();
  ASSERT_TRUE(loop.drainIoUntil([&] { return *second != 0; }, std::chrono::seconds(5)));
  EXPECT_EQ(*second, 1);
}

TEST(RQueueTest, OutsideProductModeNothingWaitsAndEmptyingDropsEverything) {
  RQueue queue(false);
  EXPECT_FALSE(queue.bProductMode());
  EXPECT_FALSE(queue.OutQueue());
  queue.EnterQueue(block(1));
  queue.EnterQueue(block(2));
  queue.EmptyQueue();
  EXPECT_EQ(queue.Count(), 0u);
  EXPECT_FALSE(queue.OutQueue());
}

}  // namespace
}  // namespace nvx::reader::f0008
