// Importing a whole novel from its file: DetectEncoding, Decode and SplitIntoChapters over a
// novel of 5,000 chapters of 2,000 characters (10,000,000 characters), held as GBK bytes (about
// 20 MB) and as UTF-8 bytes (about 30 MB). The peer is the least any reading of the file costs:
// one pass over the same bytes counting its line breaks with memchr (glibc's, vectorised). Each
// round runs both; "ratio" is ours over the peer.
#include <benchmark/benchmark.h>
#include <string.h>
#include <unistd.h>

#include <QString>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "database/append_all_or_none.h"
#include "database/creator.h"
#include "database/database_list.h"
#include "database/main_file.h"
#include "novel_import/chapter_split.h"
#include "novel_import/encoding.h"
#include "platform/core/code_page.h"
#include "platform/core/file.h"
#include "platform/core/native_path.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"

namespace {

using novel_import::Encoding;

constexpr int kChapters = 5000;
constexpr int kCharacters = 2000;  // per chapter

// 1234 → 一千二百三十四, as headings number chapters (below 10,000).
QString ChineseNumber(int n) {
  static const char16_t kDigits[] = u"零一二三四五六七八九";
  static const char16_t kUnits[] = u"千百十";
  QString text;
  bool zero = false;
  for (int place = 0, value = 1000; value > 0; ++place, value /= 10) {
    const int digit = n / value % 10;
    if (digit == 0) {
      zero = !text.isEmpty();
      continue;
    }
    if (zero) text += kDigits[0];
    zero = false;
    if (!(digit == 1 && value == 10 && text.isEmpty())) text += kDigits[digit];
    if (value > 1) text += kUnits[place];
  }
  return text;
}

// The novel as the file holds it, the same on every run: a heading line per chapter (第…章 and a
// title), then paragraphs of common hanzi and full-width punctuation, each opened by two
// full-width spaces and ended by CR LF as Windows programs write them. Now and then a paragraph
// mentions a chapter (第三章) the way a text does, which must not cut it.
const QString& Novel() {
  static const QString novel = [] {
    const std::u16string_view common =
        u"的一是了我不人在他有这个上们来到时大地为子中你说生国年着就那和要她出也得里后自以会家可"
        u"下而过天去能对小多然于心学么之都好看起发当没成只如事把还用第样道想作种开美总从无情己面"
        u"最女但现前些所同日手又行意动方期它头经长儿回位分爱老因很给名法间斯知世什两次使身者被高"
        u"已亲其进此话常与活正感见明问力理尔点文几定本公特做外孩相西果走将月十实向声车全信重三机"
        u"工物气每并别真打太新比才便夫再书部水像眼等体却加电主界门利海受听表德少克代员许先口由"
        u"死安写性马光白或住难望教命花结乐色李云飞剑山风雨夜";
    const std::u16string_view punctuation = u"，，，。。！？“”：；、";
    std::mt19937 random(20240611);
    QString text;
    text.reserve(static_cast<qsizetype>(kChapters) * (kCharacters + 200));
    for (int c = 1; c <= kChapters; ++c) {
      text += QStringLiteral("第%1章 ").arg(ChineseNumber(c));
      for (int i = 0; i < 4; ++i) text += QChar(common[random() % common.size()]);
      text += u"\r\n";
      const qsizetype end = text.size() + kCharacters;
      while (text.size() < end) {
        text += u"\u3000\u3000";
        const int length = 60 + static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
          const uint32_t pick = random() % 100000;
          if (pick < 10) {
            text += u"第三章";
          } else if (pick < 10000) {
            text += QChar(punctuation[random() % punctuation.size()]);
          } else {
            text += QChar(common[random() % common.size()]);
          }
        }
        text += u"。\r\n";
      }
    }
    return text;
  }();
  return novel;
}

const std::string& NovelBytes(Encoding encoding) {
  static const std::string gbk = platform::Utf16ToGbk(Novel().toStdU16String());
  static const std::string utf8 = Novel().toStdString();
  return encoding == Encoding::kGb18030 ? gbk : utf8;
}

size_t CountLines(std::string_view bytes) {
  size_t lines = 0;
  const char* const end = bytes.data() + bytes.size();
  for (const char* at = bytes.data();
       (at = static_cast<const char*>(memchr(at, '\n', static_cast<size_t>(end - at)))); ++at) {
    ++lines;
  }
  return lines;
}

template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ImportSplit(benchmark::State& state, Encoding encoding) {
  const std::string& bytes = NovelBytes(encoding);
  const novel_import::HeadingRules rules;
  double ours = 0, peer = 0;
  size_t chapters = 0, lines = 0;
  bool detected = true;
  for (auto _ : state) {
    const double seconds = Seconds([&] {
      const novel_import::Detection detection = novel_import::DetectEncoding(bytes);
      detected = detection.encoding == encoding;
      const QString text = novel_import::Decode(bytes, encoding, nullptr);
      chapters = novel_import::SplitIntoChapters(text, rules, QStringLiteral("小说")).size();
    });
    ours += seconds;
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      lines = CountLines(bytes);
      benchmark::DoNotOptimize(lines);
    });
  }
  if (!detected) return state.SkipWithError("the encoding was not told right");
  if (chapters != kChapters) return state.SkipWithError("the novel was not cut at its headings");
  state.counters["chapters"] = static_cast<double>(chapters);
  state.counters["MB"] = static_cast<double>(bytes.size()) / (1024 * 1024);
  state.counters["peer_ms"] = peer * 1e3 / static_cast<double>(state.iterations());
  state.counters["ratio"] = peer > 0 ? ours / peer : 0;
}

BENCHMARK_CAPTURE(BM_ImportSplit, gbk, Encoding::kGb18030)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportSplit, utf8, Encoding::kUtf8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The whole import as the desk and the tool make it: the GBK novel read into chapters, then
// appended to a fresh chapter database all or none (each chapter a record, flushed as saves
// are); against writing the same bytes to a file and flushing it once.
void BM_ImportIntoDatabase(benchmark::State& state) {
  const std::string& bytes = NovelBytes(Encoding::kGb18030);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("inkstone-import-bench-" + std::to_string(::getpid()));
  double ours = 0, peer = 0;
  size_t live = 0;
  for (auto _ : state) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string database_path = platform::GbkPathOf(folder / "data.edb");
    database::CreateDatabase(database_path, {{runtime::Gbk("姓名"), database::kMemoField, 0},
                                             {runtime::Gbk("学号"), database::kByteSetField, 0}});
    const double seconds = Seconds([&] {
      const QString text = novel_import::Decode(bytes, Encoding::kGb18030, nullptr);
      const std::vector<novel_import::ImportedChapter> chapters = novel_import::SplitIntoChapters(
          text, novel_import::HeadingRules(), QStringLiteral("小说"));
      database::OpenOptions open;
      open.path = database_path;
      open.share_mode = 3;
      database::DatabaseList& list = database::DatabaseList::Instance();
      if (list.Open(open) != 0) return;
      std::vector<runtime::Text> names;
      std::vector<runtime::ByteSet> texts;
      std::vector<std::vector<database::FieldUpdate>> records;
      names.reserve(chapters.size());
      texts.reserve(chapters.size());
      for (const novel_import::ImportedChapter& chapter : chapters) {
        names.emplace_back(platform::Utf16ToGbk(chapter.name.toStdU16String()));
        QString crlf = chapter.text;
        const std::string stored =
            platform::Utf16ToGbk(crlf.replace(u'\n', QStringLiteral("\r\n")).toStdU16String());
        texts.emplace_back(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(stored.data()),
                                                    stored.size()));
        records.push_back({{runtime::Gbk("姓名"), names.back().Arg()},
                           {runtime::Gbk("学号"), texts.back().Arg()}});
      }
      database::AppendedRecords made;
      database::AppendAllOrNone(*list.Current(), records, &made);
      live = made.live;
      list.CloseAll();
    });
    ours += seconds;
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      platform::FileResult file = platform::File::Open(
          platform::GbkPathOf(folder / "copy.txt"), platform::FileAccess::kReadWrite,
          platform::ShareMode::kDenyNone, platform::Disposition::kCreateAlways);
      if (!file.ok()) return;
      file.file->WriteAt(0, bytes.data(), static_cast<int64_t>(bytes.size()));
      file.file->Flush();
    });
  }
  std::filesystem::remove_all(folder);
  if (live != kChapters) return state.SkipWithError("the chapters were not all appended");
  state.counters["peer_ms"] = peer * 1e3 / static_cast<double>(state.iterations());
  state.counters["ratio"] = peer > 0 ? ours / peer : 0;
}
BENCHMARK(BM_ImportIntoDatabase)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
