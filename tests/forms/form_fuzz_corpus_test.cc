// The corpora that the class-data and template-block fuzzers grew, replayed in the suite:
// every input the fuzzers kept must still read (or be refused) without a fault.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/form_fuzz_entry.h"

namespace {

std::vector<std::vector<uint8_t>> Corpus(const char* name) {
  std::vector<std::vector<uint8_t>> inputs;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(FUZZ_CORPUS_DIR) / name)) {
    std::ifstream file(entry.path(), std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return inputs;
}

TEST(FormFuzzCorpus, ClassDataInputsReadSafely) {
  const auto inputs = Corpus("class_data");
  EXPECT_GE(inputs.size(), 7u);
  for (const auto& input : inputs) fuzz::FuzzClassData(input.data(), input.size());
}

TEST(FormFuzzCorpus, TemplateBlockInputsReadSafely) {
  const auto inputs = Corpus("template_block");
  EXPECT_GE(inputs.size(), 1u);
  for (const auto& input : inputs) fuzz::FuzzTemplateBlock(input.data(), input.size());
}

}  // namespace
