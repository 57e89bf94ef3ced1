#include "tests/database/crash_harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "database/byte_locks.h"
#include "database/checker.h"
#include "database/database_list.h"
#include "platform/core/clock.h"
#include "platform/core/native_path.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/child_process.h"

namespace database::testing {
namespace {

// The text of save `sequence` of the chapter with record id `id`. Saves come in runs of 16 on
// one base text of random letters (a few bytes to 200,000); into it goes a header naming both,
// at a place that moves a little from one save of a run to the next, as typing does, so that
// most saves change a few blocks and keep the others.
std::string ChapterText(int32_t id, int64_t sequence) {
  constexpr int64_t kRun = 16;
  std::mt19937_64 random(static_cast<uint64_t>(id) * 1000003u +
                         static_cast<uint64_t>(sequence / kRun));
  const uint64_t pick = random();
  const size_t length = pick % 10 < 3 ? pick % 2000 : pick % 200001;
  std::string text;
  text.reserve(length + 32);
  for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + (random() % 26)));
  const size_t start = static_cast<size_t>(random() % (length + 1));
  const size_t at = std::min(length, start + static_cast<size_t>(sequence % kRun) * 37);
  text.insert(at, "rec=" + std::to_string(id) + ";seq=" + std::to_string(sequence) + ";");
  return text;
}

std::string ChapterName(int32_t id, int64_t sequence) {
  return runtime::Gbk("第") + std::to_string(id) + runtime::Gbk("章 ") + std::to_string(sequence);
}

bool ParseHeader(const std::string& text, int32_t* id, int64_t* sequence) {
  long long parsed_sequence = 0;
  int parsed_id = 0;
  const size_t header = text.find("rec=");  // the letters around it never hold a '='
  if (header == std::string::npos ||
      std::sscanf(text.c_str() + header, "rec=%d;seq=%lld;", &parsed_id, &parsed_sequence) != 2)
    return false;
  *id = parsed_id;
  *sequence = parsed_sequence;
  return true;
}

// The child's messages go to a log file beside the database, one line each, handed to the
// system before the step they announce: a kill ends the process but keeps what the system
// already has. A kill in the middle of a line leaves it without its end; the parent drops it.
class Log {
 public:
  explicit Log(const std::string& native_path) : file_(std::fopen(native_path.c_str(), "wb")) {}
  ~Log() {
    if (file_ != nullptr) std::fclose(file_);
  }
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  bool ok() const { return file_ != nullptr; }
  void Send(const std::string& message) {
    const std::string line = message + "\n";
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0) {
      std::_Exit(20);
    }
  }
  // A failure, told before the exit: a kill that comes after the exit cannot hide it.
  int Fail(int code) {
    Send("! " + std::to_string(code));
    return code;
  }

 private:
  std::FILE* file_;
};

std::string LogPath(const std::string& native_folder) { return native_folder + "/child.log"; }

// The child, until it is killed: arguments are the folder, the round, the seed and the pause
// between two saves.
INKSTONE_CHILD_MODE(CrashChild) {
  const std::string& native_folder = arguments[0];
  const int32_t round = std::atoi(arguments[1].c_str());
  const uint32_t seed = static_cast<uint32_t>(std::strtoul(arguments[2].c_str(), nullptr, 10));
  const int32_t save_interval_ms = std::atoi(arguments[3].c_str());
  Log out(LogPath(native_folder));
  if (!out.ok()) return 19;
  const std::string main_native = native_folder + "/data.edb";
  SetLockWait(2000);
  if (OpenDefault(platform::GbkPathOf(main_native)) != 0) return out.Fail(21);
  Database& db = *DatabaseList::Instance().Current();
  // Record numbers and ids, as the file has them now.
  std::vector<int32_t> ids;
  for (const RawRecord& record : ReadRawRecords(main_native, native_folder + "/data.edt")) {
    ids.push_back(record.id);
  }
  test_support::SignalParent();  // ready: the kill is timed from here, not from the start
  std::mt19937 random(seed * 7919u + static_cast<uint32_t>(round));
  int64_t sequence = int64_t{round} * 1000000;
  const std::string name = runtime::Gbk("姓名");
  const std::string text_field = runtime::Gbk("学号");
  for (;;) {
    const uint32_t action = random() % 100;
    const auto live = [&] {
      std::vector<int32_t> numbers;
      for (size_t r = 0; r < ids.size(); ++r) {
        if (ids[r] > 0) numbers.push_back(static_cast<int32_t>(r));
      }
      return numbers;
    }();
    if (action < 6 && live.size() < 6) {
      int32_t count = 0;
      int32_t next_id = 0;
      if (db.RecordCount(&count, &next_id) != 0) return out.Fail(22);
      out.Send("a " + std::to_string(next_id));
      if (db.AppendBlank() != 0) return out.Fail(23);
      ids.push_back(next_id);
      out.Send("A " + std::to_string(next_id));
    } else if (action < 9 && live.size() > 1) {
      const int32_t number = live[random() % live.size()];
      out.Send("x " + std::to_string(ids[static_cast<size_t>(number)]));
      db.GoFirst();
      if (db.Skip(number) != 0 || db.MarkRecords(nullptr, true) != 0) return out.Fail(24);
      out.Send("X " + std::to_string(ids[static_cast<size_t>(number)]));
      ids[static_cast<size_t>(number)] = -ids[static_cast<size_t>(number)];
    } else if (action < 11) {
      out.Send("p");
      if (db.Pack() != 0) return out.Fail(25);
      ids.erase(std::remove_if(ids.begin(), ids.end(), [](int32_t id) { return id < 0; }),
                ids.end());
      out.Send("P");
    } else if (!live.empty()) {
      const int32_t number = live[random() % live.size()];
      const int32_t id = ids[static_cast<size_t>(number)];
      ++sequence;
      out.Send("s " + std::to_string(id) + " " + std::to_string(sequence));
      db.GoFirst();
      if (db.Skip(number) != 0) return out.Fail(26);
      // As the application's save: the text as a byte set into "学号", the name into "姓名".
      const std::string text = ChapterText(id, sequence);
      runtime::ByteSet bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
      runtime::Text chapter_name(ChapterName(id, sequence));
      const FieldUpdate updates[] = {{text_field, bytes.Arg()}, {name, chapter_name.Arg()}};
      if (db.UpdateRecords(nullptr, updates) != 0) return out.Fail(27);
      out.Send("S " + std::to_string(id) + " " + std::to_string(sequence));
    }
    platform::SleepMilliseconds(save_interval_ms);
  }
}

// What the parent knows from the child's messages, over all rounds.
struct Ledger {
  std::map<int32_t, int64_t> started;   // per id: the newest save begun
  std::map<int32_t, int64_t> finished;  // per id: the newest save finished
  std::set<int32_t> appended;           // appends finished
  std::set<int32_t> delete_begun;
  std::set<int32_t> deleted;      // marks finished
  std::set<int32_t> packed_away;  // deleted before a pack that finished
  int64_t saves = 0;
  int32_t packs = 0;

  void Apply(const std::string& line) {
    std::istringstream in(line);
    std::string kind;
    int32_t id = 0;
    int64_t sequence = 0;
    in >> kind >> id >> sequence;
    if (kind == "s") started[id] = sequence;
    if (kind == "S") {
      finished[id] = sequence;
      ++saves;
    }
    if (kind == "A") appended.insert(id);
    if (kind == "x") delete_begun.insert(id);
    if (kind == "X") deleted.insert(id);
    if (kind == "P") {
      packed_away.insert(deleted.begin(), deleted.end());
      ++packs;
    }
  }
};

std::string Verify(const std::string& native_folder, const Ledger& ledger) {
  const std::string main_native = native_folder + "/data.edb";
  if (std::string failure = OpensAndChecksSound(main_native); !failure.empty()) return failure;

  std::set<int32_t> seen;
  for (const RawRecord& record : ReadRawRecords(main_native, native_folder + "/data.edt")) {
    const int32_t id = std::abs(record.id);
    if (!seen.insert(id).second) return "record id " + std::to_string(id) + " is there twice";
    if (record.id < 0 && !ledger.delete_begun.count(id)) {
      return "record " + std::to_string(id) + " is marked deleted but never was";
    }
    if (ledger.packed_away.count(id)) return "record " + std::to_string(id) + " survived a pack";
    const std::string& text = record.values[1];
    const auto done = ledger.finished.find(id);
    const auto begun = ledger.started.find(id);
    if (text.empty()) {
      if (done != ledger.finished.end()) return "chapter " + std::to_string(id) + " lost its text";
      continue;
    }
    // The name is switched by a write of its own: it is one of the names written, no older
    // than the last finished save.
    const std::string& stored_name = record.values[0];
    const size_t space = stored_name.rfind(' ');
    const int64_t name_sequence =
        space == std::string::npos ? -1 : std::atoll(stored_name.c_str() + space + 1);
    const bool name_ok = stored_name == ChapterName(id, name_sequence) &&
                         begun != ledger.started.end() && name_sequence <= begun->second &&
                         (done == ledger.finished.end() || name_sequence >= done->second);
    if (!name_ok && done != ledger.finished.end()) {
      return "chapter " + std::to_string(id) + " has a name never written";
    }
    int32_t text_id = 0;
    int64_t sequence = 0;
    if (!ParseHeader(text, &text_id, &sequence) || text_id != id) {
      return "chapter " + std::to_string(id) + " holds a foreign or torn text";
    }
    if (begun == ledger.started.end() || sequence > begun->second) {
      return "chapter " + std::to_string(id) + " holds a text never written";
    }
    if (done != ledger.finished.end() && sequence < done->second) {
      return "chapter " + std::to_string(id) + " went back to an older text";
    }
    if (text != ChapterText(id, sequence)) return "chapter " + std::to_string(id) + " is torn";
  }
  for (int32_t id : ledger.appended) {
    if (!seen.count(id) && !ledger.delete_begun.count(id)) {
      return "chapter " + std::to_string(id) + " was lost";
    }
  }
  return "";
}

}  // namespace

CrashSummary RunCrashRounds(const std::string& native_folder, const CrashOptions& options) {
  CrashSummary summary;
  const std::string main_native = native_folder + "/data.edb";
  if (CreateDatabase(platform::GbkPathOf(main_native), ChapterFields()) != 0) {
    summary.failures = 1;
    summary.first_failure = "cannot create the database";
    return summary;
  }
  Ledger ledger;
  std::mt19937 random(options.seed);
  for (int32_t round = 1; round <= options.rounds; ++round) {
    // No message of an earlier round stays; a log that cannot be made new fails the child.
    std::error_code error;
    std::filesystem::remove(LogPath(native_folder), error);
    test_support::Child child("CrashChild",
                              {native_folder, std::to_string(round), std::to_string(options.seed),
                               std::to_string(options.save_interval_ms)});
    // Once the child has opened the database (unless it died trying), it is killed at a
    // random moment of its saves.
    if (child.WaitReady()) {
      platform::SleepMilliseconds(1 + static_cast<int32_t>(random() % options.max_kill_delay_ms));
      child.Kill();
    }
    const int exit_code = child.Wait();
    std::ifstream log(LogPath(native_folder), std::ios::binary);
    const std::string messages((std::istreambuf_iterator<char>(log)), {});
    log.close();
    std::string child_failure;
    for (size_t start = 0, end; (end = messages.find('\n', start)) != std::string::npos;
         start = end + 1) {
      const std::string line = messages.substr(start, end - start);
      if (line.starts_with("!")) child_failure = line.substr(2);
      ledger.Apply(line);
    }

    std::string failure;
    if (exit_code != -1) failure = "the child failed with exit code " + std::to_string(exit_code);
    if (!child_failure.empty()) failure = "the child failed with exit code " + child_failure;
    if (failure.empty()) failure = Verify(native_folder, ledger);
    ++summary.rounds;
    if (!failure.empty()) {
      ++summary.failures;
      if (summary.first_failure.empty()) {
        summary.first_failure = "round " + std::to_string(round) + ": " + failure;
      }
      break;  // the files are evidence: stop here
    }
    if (round % 25 == 0) {  // now and then the leaked blocks are reclaimed, as the tool does
      CheckReport report;
      CheckDatabase(platform::GbkPathOf(main_native), {}, true, &report);
    }
    if (options.verbose && round % 100 == 0) {
      std::fprintf(stderr, "round %d: %lld saves, %d packs\n", round,
                   static_cast<long long>(ledger.saves), ledger.packs);
    }
  }
  summary.saves_finished = ledger.saves;
  summary.packs_finished = ledger.packs;
  return summary;
}

}  // namespace database::testing
