#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One thread for the writes that wait for the disk — the flushes, and the writes that must come
// after them — so that the thread which hands them over, the one that paints the text, never
// waits for a flush. Jobs are done one at a time, in the order handed.
//
// A job is work done on the writer's thread, which gives back an answer: a step run later on
// the handing thread (by RunAnswers, or WaitUntilIdle), where the result can be told. A job
// handed under the key of one that waits (not yet begun) takes that one's place in the queue,
// and the one it replaces is dropped, answer and all: of a chapter's texts only the newest needs
// writing. A job's work is let go on the writer's thread before its answer is handed over, so
// whatever must be freed on the owner's thread (the runtime's blocks) belongs in the answer.
//
// One thread hands jobs (the owner); only it calls the members below.

namespace disk_writer {

class Writer {
 public:
  using Answer = std::function<void()>;
  using Work = std::function<Answer()>;

  // `wake` is called on the writer's thread whenever an answer is ready, so that the owner can
  // run it on its own thread soon.
  explicit Writer(std::function<void()> wake);
  // Does the jobs still waiting, then ends the thread; their answers are not run.
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  void Hand(std::string key, Work work);
  // Whether a job of `key` waits or is being done.
  bool Busy(const std::string& key) const;
  bool Idle() const;
  // Runs the answers of the jobs done so far, in the order of their jobs.
  void RunAnswers();
  // Waits until every job handed is done (their answers are left for RunAnswers).
  void WaitForJobs();
  // Whether the caller is the writer's own thread (which must never wait for itself).
  bool OnWriterThread() const { return std::this_thread::get_id() == thread_.get_id(); }
  // Waits until every job handed is done, then runs their answers.
  void WaitUntilIdle();

  // How many jobs were done, how many were replaced before they began, and how long the owner
  // waited for the writer in all (WaitForJobs, WaitUntilIdle).
  int64_t jobs_done() const;
  int64_t jobs_replaced() const;
  int64_t owner_wait_nanoseconds() const;

 private:
  struct Job {
    std::string key;
    Work work;
  };
  void Run();

  std::function<void()> wake_;
  mutable std::mutex mutex_;
  std::condition_variable job_waiting_;
  std::condition_variable job_done_;
  std::deque<Job> waiting_;
  std::string current_key_;  // the job being done; empty while none is
  bool working_ = false;
  std::vector<Answer> answers_;
  int64_t jobs_done_ = 0;
  int64_t jobs_replaced_ = 0;
  int64_t owner_wait_nanoseconds_ = 0;
  bool ending_ = false;
  std::thread thread_;  // last: it starts once the members above are ready
};

}  // namespace disk_writer
