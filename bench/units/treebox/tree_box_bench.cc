// Filling the chapter list at start-up: one AddItem per chapter, each answering the new
// item's ItemIndex, against a bare Qt tree widget filled with the same texts. Run both in
// one go and compare the times: the ratio is the price of the index walks.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <string>

#include "platform/core/code_page.h"
#include "units/treebox/tree_box.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char arg0[] = "treebox_bench";
  static char* argv[] = {arg0, nullptr};
  static auto* application = new QApplication(argc, argv);
  return *application;
}

std::string Chapter(int64_t i) { return platform::Utf8ToGbk("第" + std::to_string(i) + "章"); }

void BM_TreeBoxAddItems(benchmark::State& state) {
  App();
  for (auto _ : state) {
    forms::CreateParams params;
    params.rect = QRect(0, 0, 200, 400);
    auto* box = new units::TreeBox(params, units::TreeBoxClassData());
    for (int64_t i = 0; i < state.range(0); ++i) {
      units::NewItem item;
      item.text = Chapter(i);
      benchmark::DoNotOptimize(box->AddItem(-1, item));
    }
    benchmark::DoNotOptimize(box->ItemCount());
    state.PauseTiming();
    box->Destroy();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TreeBoxAddItems)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_BareTreeWidgetAddItems(benchmark::State& state) {
  App();
  for (auto _ : state) {
    QTreeWidget tree;
    for (int64_t i = 0; i < state.range(0); ++i) {
      auto* item = new QTreeWidgetItem;
      item->setText(0, QString::fromStdU16String(platform::GbkToUtf16(Chapter(i))));
      tree.addTopLevelItem(item);
    }
    benchmark::DoNotOptimize(tree.topLevelItemCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BareTreeWidgetAddItems)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
