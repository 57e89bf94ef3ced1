// Typing one character into a multi-line edit box that holds a whole chapter, with a
// ContentChanged handler that reads the content back as the application's counter does,
// against typing into a bare Qt text editor of the same size. The "ratio" counter is the
// edit box's time per character over the bare editor's, measured side by side; a second
// run per size leaves the handler empty, to show what the box itself adds.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <chrono>

#include "forms/forms_runtime.h"
#include "libraries/library_table.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"

extern const unsigned char edit_box_bench_block[];
extern const int edit_box_bench_block_size;

namespace {

constexpr uint32_t kForm = 0x52010003;
constexpr uint32_t kText = 0x16010030;
constexpr int32_t kContent = 8;
constexpr int32_t kSelStart = 24;

size_t bytes_read = 0;
bool read_back = true;

runtime::HandlerResult OnContentChanged(const int32_t*, int32_t) {
  if (!read_back) return {};
  const runtime::ArgCell cell =
      forms::FormsRuntime::Instance().ReadUnitProperty(kForm, kText, kContent, -1);
  bytes_read += runtime::Text::FromResult(cell).View().size();
  return {};
}

const runtime::EventHandler kRoutines[] = {OnContentChanged};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = [] {
    runtime::ProgramImage header;
    header.id_seed = 0x000100F1;
    header.code_base = reinterpret_cast<const uint8_t*>(kRoutines);
    header.template_block = edit_box_bench_block;
    header.template_block_size = edit_box_bench_block_size;
    header.library_count = libraries::kLibraryCount;
    header.libraries = libraries::LibraryTable();
    return header;
  }();
  return image;
}

QApplication& App() {
  static int argc = 1;
  static char arg0[] = "editbox_bench";
  static char* argv[] = {arg0, nullptr};
  static auto* application = new QApplication(argc, argv);
  return *application;
}

// A chapter of `characters` characters: lines of 60 ideographs and a line break.
QString Chapter(int64_t characters) {
  const QString line = QString::fromUtf8(
      "天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳"
      "云腾致雨露结为霜金生丽水玉出昆冈剑号巨阙珠称夜光果珍李柰菜重芥姜");
  QString text;
  text.reserve(characters);
  while (text.size() < characters) {
    text += line.left(std::min<qsizetype>(line.size(), characters - text.size() - 1));
    text += u'\n';
  }
  text.truncate(characters);
  return text;
}

// One key press and the repaint it causes.
double TypeOne(QWidget* widget) {
  const auto start = std::chrono::steady_clock::now();
  QTest::keyClick(widget, Qt::Key_A);
  QApplication::processEvents();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_TypeIntoChapter(benchmark::State& state) {
  App();
  runtime::ResetRuntimeState();
  forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
  forms.Reset();
  runtime::AttachProgram(Image(), nullptr, &forms);
  runtime::InitializeRuntime();
  if (!forms.LoadWindow(kForm, false, false, nullptr)) {
    state.SkipWithError("the benchmark window did not load");
    return;
  }
  const QString chapter = Chapter(state.range(0));
  // The box gets the chapter as the desk stores it (CR LF) or with lone LFs, as a text from
  // elsewhere may have them; the bare editor gets its own paragraphs either way.
  std::string utf8 = chapter.toStdString();
  if (state.range(2) == 0)
    utf8 = QString(chapter).replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
  const runtime::Text content(runtime::Gbk(utf8));
  forms.WriteUnitProperty(kForm, kText, kContent, -1, content.Arg());
  forms.WriteUnitProperty(kForm, kText, kSelStart, -1, runtime::ArgCell::Int(-1));
  QWidget* box = forms.UnitWindow(kForm, kText)->Widget();

  QPlainTextEdit bare;
  bare.setGeometry(10, 10, 720, 500);
  bare.setPlainText(chapter);
  bare.moveCursor(QTextCursor::End);
  bare.show();
  QApplication::processEvents();

  // Interleaved, so that both see the same machine load.
  double ours_seconds = 0;
  double bare_seconds = 0;
  bytes_read = 0;
  read_back = state.range(1) != 0;
  for (auto _ : state) {
    const double ours = TypeOne(box);
    ours_seconds += ours;
    state.SetIterationTime(ours);
    bare_seconds += TypeOne(&bare);
  }
  const auto iterations =
      static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["bare_us"] = benchmark::Counter(bare_seconds * 1e6 / iterations);
  state.counters["read_KB_per_key"] =
      benchmark::Counter(static_cast<double>(bytes_read) / 1e3 / iterations);
  state.counters["ratio"] = benchmark::Counter(bare_seconds > 0 ? ours_seconds / bare_seconds : 0);

  forms.ReleaseAllTemplates();
  QApplication::processEvents();
  forms.Reset();
  runtime::ResetRuntimeState();
}

}  // namespace

// Arguments: characters in the box; whether the change handler reads the content back (1,
// as the application does) or does nothing (0, the box's own cost per key); the chapter's
// line breaks: 0 CR LF, 1 lone LF.
BENCHMARK(BM_TypeIntoChapter)
    ->ArgNames({"characters", "read_back", "lone_lf"})
    ->ArgsProduct({{20000, 200000, 2000000}, {1, 0}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
