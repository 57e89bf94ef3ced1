#include "disk_writer/disk_writer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace disk_writer {

Writer::Writer(std::function<void()> wake) : wake_(std::move(wake)), thread_([this] { Run(); }) {}

Writer::~Writer() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  job_waiting_.notify_one();
  thread_.join();
}

void Writer::Hand(std::string key, Work work) {
  {
    const std::lock_guard lock(mutex_);
    const auto same = std::find_if(waiting_.begin(), waiting_.end(),
                                   [&](const Job& job) { return job.key == key; });
    if (same != waiting_.end()) {
      same->work = std::move(work);
      ++jobs_replaced_;
    } else {
      waiting_.push_back({std::move(key), std::move(work)});
    }
  }
  job_waiting_.notify_one();
}

bool Writer::Busy(const std::string& key) const {
  const std::lock_guard lock(mutex_);
  return (working_ && current_key_ == key) ||
         std::any_of(waiting_.begin(), waiting_.end(),
                     [&](const Job& job) { return job.key == key; });
}

bool Writer::Idle() const {
  const std::lock_guard lock(mutex_);
  return !working_ && waiting_.empty();
}

void Writer::RunAnswers() {
  std::vector<Answer> ready;
  {
    const std::lock_guard lock(mutex_);
    ready.swap(answers_);
  }
  for (Answer& answer : ready) {
    if (answer) answer();
  }
}

void Writer::WaitForJobs() {
  std::unique_lock lock(mutex_);
  if (!working_ && waiting_.empty()) return;
  const auto start = std::chrono::steady_clock::now();
  job_done_.wait(lock, [this] { return !working_ && waiting_.empty(); });
  owner_wait_nanoseconds_ += std::chrono::nanoseconds(std::chrono::steady_clock::now() - start).count();
}

void Writer::WaitUntilIdle() {
  WaitForJobs();
  RunAnswers();
}

int64_t Writer::jobs_done() const {
  const std::lock_guard lock(mutex_);
  return jobs_done_;
}

int64_t Writer::jobs_replaced() const {
  const std::lock_guard lock(mutex_);
  return jobs_replaced_;
}

int64_t Writer::owner_wait_nanoseconds() const {
  const std::lock_guard lock(mutex_);
  return owner_wait_nanoseconds_;
}

void Writer::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    job_waiting_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
    if (waiting_.empty()) return;  // ending, nothing left to do
    Job job = std::move(waiting_.front());
    waiting_.pop_front();
    working_ = true;
    current_key_ = job.key;
    lock.unlock();
    Answer answer = job.work();
    // The work goes before its answer is handed over: what the two share is then let go on
    // the owner's thread, by the answer.
    job = Job{};
    lock.lock();
    answers_.push_back(std::move(answer));
    // The owner is woken before the job counts as done: one that waits for the jobs finds
    // every wake-up already sent.
    if (wake_ && !ending_) {
      lock.unlock();
      wake_();
      lock.lock();
    }
    working_ = false;
    current_key_.clear();
    ++jobs_done_;
    job_done_.notify_all();
  }
}

}  // namespace disk_writer
