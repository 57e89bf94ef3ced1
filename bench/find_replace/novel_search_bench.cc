// Searching the whole novel the way the hit list does: SearchNovel over 5,000 chapters of 2,000
// characters (10,000,000 characters). The peer counts the same words in the same novel held as
// one UTF-8 byte string with memmem (glibc's, vectorised), what the search would cost with
// nothing but a byte search behind it (std::string_view::find takes about twice as long there:
// it stops at every byte that starts the word, and most hanzi start with the same few). Each
// round runs both; "ratio" is ours over the peer.
#include <benchmark/benchmark.h>
#include <string.h>

#include <chrono>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "find_replace/novel_search.h"

namespace {

using find_replace::ChapterText;
using find_replace::FindOptions;
using find_replace::Matcher;

constexpr int kChapters = 5000;
constexpr int kCharacters = 2000;  // per chapter

// The novel, the same on every run: paragraphs of common hanzi and full-width punctuation, each
// opened by two full-width spaces and ended by "\n". The hero's name 李云飞 comes a few hundred
// times and its other spelling 李雲飞 a hundred or so, while 李, 云 and 飞 are common on their
// own too; now and then a chapter numbers something with full-width digits (第１２回), so that a
// width-insensitive search has chapters to fold.
const std::vector<ChapterText>& Novel() {
  static const std::vector<ChapterText> novel = [] {
    const std::u16string_view common =
        u"的一是了我不人在他有这个上们来到时大地为子中你说生国年着就那和要她出也得里后自以会家可"
        u"下而过天去能对小多然于心学么之都好看起发当没成只如事把还用第样道想作种开美总从无情己面"
        u"最女但现前些所同日手又行意动方期它头经长儿回位分爱老因很给名法间斯知世什两次使身者被高"
        u"已亲其进此话常与活正感见明问力理尔点文几定本公特做外孩相西果走将月十实向声车全信重三机"
        u"工物气每并别真打太新比才便夫再书部水像眼等体却加电主界门利海受听表德少克代员许先口由"
        u"死安写性马光白或住难望教命花结乐色李云飞剑山风雨夜";
    const std::u16string_view punctuation = u"，，，。。！？“”：；、";
    std::mt19937 random(20240611);
    std::vector<ChapterText> chapters;
    chapters.reserve(kChapters);
    for (int c = 0; c < kChapters; ++c) {
      QString text;
      text.reserve(kCharacters + 64);
      while (text.size() < kCharacters) {
        text += u"\u3000\u3000";
        const int length = 60 + static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
          const uint32_t pick = random() % 100000;
          if (pick < 4) {
            text += u"李云飞";
          } else if (pick < 5) {
            text += u"李雲飞";
          } else if (pick < 6) {
            text += u"第１２回";
          } else if (pick < 10000) {
            text += QChar(punctuation[random() % punctuation.size()]);
          } else {
            text += QChar(common[random() % common.size()]);
          }
        }
        text += u'\n';
      }
      chapters.push_back({c + 1, QStringLiteral("第%1章").arg(c + 1), text});
    }
    return chapters;
  }();
  return novel;
}

// The peer's novel: every chapter's text in one UTF-8 string.
const std::string& NovelBytes() {
  static const std::string bytes = [] {
    std::string all;
    for (const ChapterText& chapter : Novel()) all += chapter.text.toStdString();
    return all;
  }();
  return bytes;
}

size_t CountBytes(std::string_view text, std::string_view word) {
  size_t count = 0;
  const char* const end = text.data() + text.size();
  for (const char* at = text.data();;) {
    at = static_cast<const char*>(
        memmem(at, static_cast<size_t>(end - at), word.data(), word.size()));
    if (at == nullptr) break;
    ++count;
    at += word.size();
  }
  return count;
}

template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// `words`: what the peer counts to find the same hits as `what`.
void BM_SearchNovel(benchmark::State& state, const char* what, FindOptions options,
                    std::vector<std::string> words) {
  const std::vector<ChapterText>& novel = Novel();
  const std::string& bytes = NovelBytes();
  const std::optional<Matcher> matcher = Matcher::Make(QString::fromUtf8(what), options, nullptr);
  if (!matcher) return state.SkipWithError("the search text does not compile");
  double ours = 0, peer = 0;
  size_t hits = 0, peer_hits = 0;
  for (auto _ : state) {
    const double seconds =
        Seconds([&] { hits = find_replace::SearchNovel(novel, *matcher, true).hits.size(); });
    ours += seconds;
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      peer_hits = 0;
      for (const std::string& word : words) peer_hits += CountBytes(bytes, word);
      benchmark::DoNotOptimize(peer_hits);
    });
  }
  if (hits != peer_hits) return state.SkipWithError("the two searches found different counts");
  state.counters["hits"] = static_cast<double>(hits);
  state.counters["peer_ms"] = peer * 1e3 / static_cast<double>(state.iterations());
  state.counters["ratio"] = peer > 0 ? ours / peer : 0;
}

BENCHMARK_CAPTURE(BM_SearchNovel, plain, "李云飞", FindOptions{}, {"李云飞"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchNovel, pattern, "李[云雲]飞", FindOptions{.pattern = true},
                  {"李云飞", "李雲飞"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchNovel, width, "李云飞", FindOptions{.width_insensitive = true},
                  {"李云飞"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The peer alone, for its time in milliseconds.
void BM_ByteSearch(benchmark::State& state) {
  const std::string& bytes = NovelBytes();
  for (auto _ : state) benchmark::DoNotOptimize(CountBytes(bytes, "李云飞"));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ByteSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
