// The writer thread: order, a waiting job replaced by a newer one of its key, answers run on the
// owner's thread, and an owner that waits only when it asks to.
#include "disk_writer/disk_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using disk_writer::Writer;

TEST(DiskWriter, DoesJobsInOrderAndRunsTheirAnswersOnTheOwnersThread) {
  std::atomic<int> wakes{0};
  Writer writer([&] { ++wakes; });
  std::vector<std::string> done;  // written by the writer's thread, read after WaitUntilIdle
  std::vector<std::string> answered;
  std::vector<std::thread::id> answer_threads;
  for (const std::string key : {"a", "b", "c"}) {
    writer.Hand(key, [&, key] {
      done.push_back(key);
      return [&, key] {
        answered.push_back(key);
        answer_threads.push_back(std::this_thread::get_id());
      };
    });
  }
  writer.WaitUntilIdle();
  EXPECT_EQ(done, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(answered, done);
  for (const std::thread::id id : answer_threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_EQ(wakes.load(), 3);
  EXPECT_TRUE(writer.Idle());
  EXPECT_EQ(writer.jobs_done(), 3);
}

TEST(DiskWriter, AWaitingJobIsReplacedInItsPlaceByANewerOneOfItsKey) {
  Writer writer(nullptr);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::promise<void> begun;
  std::vector<std::string> done;
  // The first job holds the thread, so that the next ones wait.
  writer.Hand("flush", [&] {
    begun.set_value();
    released.wait();
    done.push_back("flush");
    return Writer::Answer();
  });
  begun.get_future().wait();
  const auto text = [&](std::string value) {
    return [&, value] {
      done.push_back(value);
      return Writer::Answer([&, value] { done.push_back("answer " + value); });
    };
  };
  writer.Hand("chapter", text("old"));
  writer.Hand("autosave", text("autosave"));
  writer.Hand("chapter", text("new"));
  // A job being done is not replaced: a new one of its key waits behind it.
  writer.Hand("flush", [&] {
    done.push_back("second flush");
    return Writer::Answer();
  });
  EXPECT_TRUE(writer.Busy("chapter"));
  EXPECT_TRUE(writer.Busy("flush"));
  EXPECT_FALSE(writer.Busy("history"));
  EXPECT_FALSE(writer.Idle());
  release.set_value();
  writer.WaitUntilIdle();
  EXPECT_EQ(done, (std::vector<std::string>{"flush", "new", "autosave", "second flush",
                                            "answer new", "answer autosave"}));
  EXPECT_EQ(writer.jobs_replaced(), 1);
  EXPECT_FALSE(writer.Busy("chapter"));
}

TEST(DiskWriter, TheOwnerGoesOnWhileAJobWaitsForTheDisk) {
  Writer writer(nullptr);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  bool answered = false;
  writer.Hand("chapter", [&] {
    released.wait();  // a flush that takes as long as the test wants
    return Writer::Answer([&] { answered = true; });
  });
  writer.RunAnswers();  // nothing ready: returns at once
  EXPECT_FALSE(answered);
  EXPECT_TRUE(writer.Busy("chapter"));
  release.set_value();
  writer.WaitUntilIdle();
  EXPECT_TRUE(answered);
}

TEST(DiskWriter, AnEndingWriterStillDoesTheJobsHandedToIt) {
  std::atomic<int> done{0};
  std::promise<void> all_handed;
  std::shared_future<void> handed = all_handed.get_future().share();
  {
    Writer writer(nullptr);
    // The first job holds the thread until every job is handed: they all still wait when the
    // writer ends.
    for (int i = 0; i < 5; ++i) {
      writer.Hand("job " + std::to_string(i), [&, handed] {
        handed.wait();
        ++done;
        return Writer::Answer();
      });
    }
    EXPECT_FALSE(writer.Idle());
    all_handed.set_value();
  }
  EXPECT_EQ(done.load(), 5);
}

}  // namespace
