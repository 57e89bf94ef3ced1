// Exporting a whole novel of 5,000 chapters (10,000,000 characters) the way the desk does it:
// the bytes made (NovelAsTxt in GBK or UTF-8, NovelAsEpub) and written to a file with one write
// and a flush. The peer writes the novel's UTF-8 text, as many bytes as the UTF-8 export, with
// one write and a flush: what saving the text would cost with no format at all. Each round runs
// both; "ratio" is ours over the peer. Few rounds: one EPUB takes about a second (deflating its
// 30 MB of XHTML is most of it), and ./build.sh bench repeats each row five times.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "novel_export/epub_export.h"
#include "novel_export/txt_export.h"
#include "platform/core/file.h"
#include "platform/core/native_path.h"

namespace {

using novel_export::ExportChapter;
using novel_export::TxtOptions;

constexpr int kChapters = 5000;
constexpr int kCharacters = 2000;  // per chapter
constexpr int kChaptersPerVolume = 100;

// The novel, the same on every run: paragraphs of common hanzi and full-width punctuation, each
// opened by two full-width spaces and ended by "\n"; a volume every hundred chapters, so that
// the e-book's contents nest.
const std::vector<ExportChapter>& Novel() {
  static const std::vector<ExportChapter> novel = [] {
    const std::u16string_view common =
        u"的一是了我不人在他有这个上们来到时大地为子中你说生国年着就那和要她出也得里后自以会家可"
        u"下而过天去能对小多然于心学么之都好看起发当没成只如事把还用第样道想作种开美总从无情己面"
        u"最女但现前些所同日手又行意动方期它头经长儿回位分爱老因很给名法间斯知世什两次使身者被高"
        u"已亲其进此话常与活正感见明问力理尔点文几定本公特做外孩相西果走将月十实向声车全信重三机"
        u"工物气每并别真打太新比才便夫再书部水像眼等体却加电主界门利海受听表德少克代员许先口由"
        u"死安写性马光白或住难望教命花结乐色李云飞剑山风雨夜";
    const std::u16string_view punctuation = u"，，，。。！？“”：；、";
    std::mt19937 random(20240611);
    std::vector<ExportChapter> chapters;
    chapters.reserve(kChapters);
    for (int c = 0; c < kChapters; ++c) {
      QString text;
      text.reserve(kCharacters + 64);
      while (text.size() < kCharacters) {
        text += u"\u3000\u3000";
        const int length = 60 + static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
          text += QChar(random() % 10 == 0 ? punctuation[random() % punctuation.size()]
                                           : common[random() % common.size()]);
        }
        text += u'\n';
      }
      const QString name = c % kChaptersPerVolume == 0
                               ? QStringLiteral("第%1卷 风雨").arg(c / kChaptersPerVolume + 1)
                               : QStringLiteral("第%1章 夜行").arg(c + 1);
      chapters.push_back({name, text});
    }
    return chapters;
  }();
  return novel;
}

// The peer's bytes: every chapter's text in UTF-8, as many bytes as the UTF-8 export's.
const QByteArray& NovelBytes() {
  static const QByteArray bytes = novel_export::NovelAsTxt(Novel(), {.crlf = false});
  return bytes;
}

template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool WriteAndFlush(const std::string& gbk_path, const QByteArray& bytes) {
  platform::FileResult opened =
      platform::File::Open(gbk_path, platform::FileAccess::kWrite, platform::ShareMode::kExclusive,
                           platform::Disposition::kCreateAlways);
  if (!opened.ok()) return false;
  const auto size = static_cast<int64_t>(bytes.size());
  return opened.file->WriteAt(0, bytes.data(), size) == size && opened.file->Flush();
}

template <typename Export>
void BM_Export(benchmark::State& state, Export make_bytes) {
  const std::vector<ExportChapter>& novel = Novel();
  const QByteArray& text = NovelBytes();
  QTemporaryDir folder;
  const std::string ours_path = platform::GbkPathOf(folder.filePath("ours").toStdU16String());
  const std::string peer_path = platform::GbkPathOf(folder.filePath("peer").toStdU16String());
  double ours = 0, peer = 0;
  qsizetype written = 0;
  for (auto _ : state) {
    bool ok = false;
    const double seconds = Seconds([&] {
      const QByteArray bytes = make_bytes(novel);
      written = bytes.size();
      ok = !bytes.isEmpty() && WriteAndFlush(ours_path, bytes);
    });
    if (!ok) return state.SkipWithError("the export was not written");
    ours += seconds;
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      if (!WriteAndFlush(peer_path, text)) state.SkipWithError("the peer's file was not written");
    });
  }
  state.counters["mb"] = static_cast<double>(written) / 1e6;
  state.counters["peer_ms"] = peer * 1e3 / static_cast<double>(state.iterations());
  state.counters["ratio"] = peer > 0 ? ours / peer : 0;
}

QByteArray Gbk(const std::vector<ExportChapter>& novel) {
  return novel_export::NovelAsTxt(novel, {.encoding = TxtOptions::Encoding::kGbk});
}
QByteArray Utf8(const std::vector<ExportChapter>& novel) {
  return novel_export::NovelAsTxt(novel, {.encoding = TxtOptions::Encoding::kUtf8});
}
QByteArray Epub(const std::vector<ExportChapter>& novel) {
  return novel_export::NovelAsEpub(novel, {.title = QStringLiteral("山河"),
                                           .author = QStringLiteral("某人"),
                                           .modified = QDateTime::currentDateTimeUtc()});
}

BENCHMARK_CAPTURE(BM_Export, txt_gbk, Gbk)
    ->Name("BM_ExportTxt/gbk")
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, txt_utf8, Utf8)
    ->Name("BM_ExportTxt/utf8")
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, epub, Epub)
    ->Name("BM_ExportEpub")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
