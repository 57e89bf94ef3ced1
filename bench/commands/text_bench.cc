// Counting the characters of a chapter the way the application's ContentChanged handler does:
// two SubstituteText calls through the command gate remove the spaces and the line breaks, then
// a walk with CharCode counts each negative code as one two-byte character. Compared with a plain
// byte loop over the same text that counts the same characters in one pass.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "commands/text_commands.h"
#include "runtime/gates.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"

namespace {

using runtime::ArgCell;

// About 200 KB of GBK chapter text: paragraphs that start with two full-width spaces and end in
// CR LF, made of Chinese characters, full-width punctuation and some ASCII words and spaces.
const std::string& Chapter() {
  static const std::string chapter = [] {
    const std::string characters = runtime::Gbk(
        "天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳云腾致雨露结为霜"
        "他说我们走吧她笑了一下没有回答只是看着远处的山");
    const std::string punctuation = runtime::Gbk("，。！？“”：；");
    const std::string indent = runtime::Gbk("　　");
    std::mt19937 random(2024);
    std::string text;
    while (text.size() < 200 * 1024) {
      text += indent;
      const int length = 80 + static_cast<int>(random() % 220);
      for (int i = 0; i < length; ++i) {
        const uint32_t pick = random() % 100;
        if (pick < 85) {
          text.append(characters, 2 * (random() % (characters.size() / 2)), 2);
        } else if (pick < 93) {
          text.append(punctuation, 2 * (random() % (punctuation.size() / 2)), 2);
        } else if (pick < 97) {
          text += "Li ";
        } else {
          text += ' ';
        }
      }
      text += "\r\n";
    }
    return text;
  }();
  return chapter;
}

int64_t CountLikeTheApplication(const std::string& chapter) {
  const ArgCell no_spaces = runtime::CallCoreCommand(
      commands::SubstituteText, {ArgCell::Text(chapter.c_str()), ArgCell::Text(" "),
                                 ArgCell::Text(""), ArgCell{}, ArgCell{}, ArgCell::Logical(true)});
  const runtime::Text without_spaces = runtime::Text::FromResult(no_spaces);
  const ArgCell no_breaks = runtime::CallCoreCommand(
      commands::SubstituteText, {without_spaces.Arg(), ArgCell::Text("\r\n"), ArgCell::Text(""),
                                 ArgCell{}, ArgCell{}, ArgCell::Logical(true)});
  const runtime::Text text = runtime::Text::FromResult(no_breaks);
  const int32_t length =
      static_cast<int32_t>(runtime::CallCoreCommand(commands::TextLength, {text.Arg()}).low);
  int64_t count = 0;
  for (int32_t position = 1; position <= length;) {
    const auto code = static_cast<int32_t>(
        runtime::CallCoreCommand(commands::CharCode, {text.Arg(), ArgCell::Int(position)}).low);
    position += code < 0 ? 2 : 1;
    ++count;
  }
  return count;
}

int64_t CountWithAByteLoop(const std::string& chapter) {
  int64_t count = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(chapter.data());
  const size_t size = chapter.size();
  for (size_t i = 0; i < size;) {
    const uint8_t byte = bytes[i];
    if (byte >= 0x80) {
      ++count;
      i += 2;
    } else {
      if (byte != ' ' && byte != '\r' && byte != '\n') ++count;
      ++i;
    }
  }
  return count;
}

void BM_CountLikeTheApplication(benchmark::State& state) {
  const std::string& chapter = Chapter();
  for (auto _ : state) benchmark::DoNotOptimize(CountLikeTheApplication(chapter));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(chapter.size()));
}
BENCHMARK(BM_CountLikeTheApplication)->Unit(benchmark::kMicrosecond);

void BM_CountWithAByteLoop(benchmark::State& state) {
  const std::string& chapter = Chapter();
  for (auto _ : state) benchmark::DoNotOptimize(CountWithAByteLoop(chapter));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(chapter.size()));
}
BENCHMARK(BM_CountWithAByteLoop)->Unit(benchmark::kMicrosecond);

// Both ways in turn on the same text; "ratio" is the application's time over the loop's.
void BM_ApplicationOverByteLoop(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::string& chapter = Chapter();
  if (CountLikeTheApplication(chapter) != CountWithAByteLoop(chapter)) {
    state.SkipWithError("the two counts differ");
    return;
  }
  Clock::duration application{}, loop{};
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(CountLikeTheApplication(chapter));
    const auto middle = Clock::now();
    benchmark::DoNotOptimize(CountWithAByteLoop(chapter));
    loop += Clock::now() - middle;
    application += middle - start;
  }
  state.counters["chapter_bytes"] = static_cast<double>(chapter.size());
  state.counters["characters"] = static_cast<double>(CountWithAByteLoop(chapter));
  state.counters["ratio"] = static_cast<double>(application.count()) /
                            static_cast<double>(std::max<Clock::rep>(loop.count(), 1));
}
BENCHMARK(BM_ApplicationOverByteLoop)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
