// Runs the fuzz target over every input of the corpus, so the cases the fuzzer found
// stay covered in builds without libFuzzer.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(FuzzReplay, EveryCorpusInputRunsToTheEnd) {
  namespace fs = std::filesystem;
  int replayed = 0;
  for (const auto& entry : fs::directory_iterator(ZUNK_FUZZ_CORPUS)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
              0);
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}
