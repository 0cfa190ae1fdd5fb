// The module loads and runs on an i686 processor without MMX or SSE: outside the code of
// the instruction-set files (src/kernels/x86/, reached only after the CPUID check), the
// built DLL holds no MMX, SSE or later instruction. Read from the build's disassembly of
// the DLL and the link map, which says which object file each stretch of code came from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CodeRange {
  uint32_t start = 0;
  uint32_t size = 0;
  std::string section;  // ".text", or ".text$..." for code the linker merges by name
  std::string file;
};

std::vector<std::string> Lines(const char* path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The input sections of the output section ".text", in the map's own words. A long
// section name stands alone on its line; its address, size and file follow on the next.
std::vector<CodeRange> TextRanges(const std::vector<std::string>& map) {
  std::vector<CodeRange> ranges;
  size_t i = 0;
  while (i < map.size() && map[i].compare(0, 6, ".text ") != 0)
    ++i;
  for (++i; i < map.size() && (map[i].empty() || map[i][0] == ' '); ++i) {
    std::istringstream fields(map[i]);
    CodeRange r;
    if (!(fields >> r.section) || r.section.compare(0, 5, ".text") != 0)
      continue;
    std::string address, size;
    if (!(fields >> address) && i + 1 < map.size()) {
      fields = std::istringstream(map[++i]);
      fields >> address;
    }
    if (!(fields >> size) || address.compare(0, 2, "0x") != 0)
      continue;
    std::getline(fields >> std::ws, r.file);
    r.start = static_cast<uint32_t>(std::strtoul(address.c_str(), nullptr, 16));
    r.size = static_cast<uint32_t>(std::strtoul(size.c_str(), nullptr, 16));
    if (r.size)
      ranges.push_back(r);
  }
  std::sort(ranges.begin(), ranges.end(),
            [](const CodeRange& a, const CodeRange& b) { return a.start < b.start; });
  return ranges;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The plain code of an instruction-set file. Code the linker merges by name (inline and
// template functions) may be the copy that baseline callers get, so it never counts.
bool IsInstructionSetCode(const CodeRange& r) {
  if (r.section != ".text")
    return false;
  for (const char* suffix : {"_sse2.cpp.obj)", "_avx2.cpp.obj)", "_avx512.cpp.obj)"})
    if (EndsWith(r.file, suffix))
      return true;
  return false;
}

// Whether an instruction (objdump's AT&T text) needs more than an i686: MMX, SSE and AVX
// registers and mask registers, and the instructions of those sets and of later ones that
// name no such register. Not "tzcnt": compilers emit it as "rep bsf" for inputs that are
// never zero, and processors before it run that as bsf (the C library has some).
bool BeyondI686(const std::string& text) {
  for (const char* reg :
       {"%mm", "%xmm", "%ymm", "%zmm", "%k0", "%k1", "%k2", "%k3", "%k4", "%k5", "%k6", "%k7"})
    if (text.find(reg) != std::string::npos)
      return true;
  std::istringstream fields(text);
  std::string mnemonic;
  fields >> mnemonic;
  for (const char* m :
       {"emms",       "femms",      "sfence",     "lfence",    "mfence",  "movnti",  "prefetchnta",
        "prefetcht0", "prefetcht1", "prefetcht2", "prefetchw", "clflush", "ldmxcsr", "stmxcsr",
        "fxsave",     "fxrstor",    "maskmovq",   "movntq",    "popcnt",  "lzcnt",   "movbe",
        "crc32",      "andn",       "bextr",      "blsi",      "blsmsk",  "blsr",    "bzhi",
        "pdep",       "pext",       "rorx",       "sarx",      "shlx",    "shrx",    "mulx",
        "adcx",       "adox",       "vzeroupper"})
    if (mnemonic == m)
      return true;
  return false;
}

TEST(InstructionSet, NothingBeyondI686OutsideTheInstructionSetFiles) {
  const std::vector<CodeRange> ranges = TextRanges(Lines(ZUNK_DLL_MAP));
  ASSERT_FALSE(ranges.empty()) << "no code in the link map " << ZUNK_DLL_MAP;
  int simdRanges = 0;
  for (const CodeRange& r : ranges)
    simdRanges += IsInstructionSetCode(r);
  ASSERT_GT(simdRanges, 0) << "the map names no instruction-set file";

  const std::vector<std::string> listing = Lines(ZUNK_DLL_ASM);
  size_t instructions = 0, inSimdFiles = 0;
  std::vector<std::string> found;
  size_t at = 0;  // the range of the last instruction; the listing runs upward
  for (const std::string& line : listing) {
    // "6408100a:\tmovdqa %xmm0,(%eax)"
    const size_t colon = line.find(":\t");
    if (colon == std::string::npos || colon == 0)
      continue;
    char* end = nullptr;
    const uint32_t address = static_cast<uint32_t>(std::strtoul(line.c_str(), &end, 16));
    if (end != line.c_str() + colon)
      continue;
    const std::string text = line.substr(colon + 2);
    ++instructions;
    if (!BeyondI686(text))
      continue;
    if (at >= ranges.size() || address < ranges[at].start)
      at = 0;
    while (at < ranges.size() && address >= ranges[at].start + ranges[at].size)
      ++at;
    // The output section also holds data (constructor lists, exception tables), which
    // the disassembler reads as instructions too: only code sections count.
    if (at >= ranges.size() || address < ranges[at].start)
      continue;
    if (IsInstructionSetCode(ranges[at])) {
      ++inSimdFiles;
      continue;
    }
    if (found.size() < 20) {
      std::ostringstream where;
      where << std::hex << address << ": " << text << "   [" << ranges[at].section << " of "
            << ranges[at].file << "]";
      found.push_back(where.str());
    }
  }
  EXPECT_GT(instructions, 10000u) << "the disassembly " << ZUNK_DLL_ASM << " is short";
  // The check sees the instructions it looks for: the kernels are full of them.
  EXPECT_GT(inSimdFiles, 1000u);
  std::string report;
  for (const std::string& f : found)
    report += "  " + f + "\n";
  EXPECT_TRUE(found.empty()) << "instructions beyond i686 outside the instruction-set files:\n"
                             << report;
}

}  // namespace
