// Small files and short functions in src/: no file over 400 lines, no function over 80.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxFileLines = 400;
constexpr size_t kMaxFunctionLines = 80;

std::vector<std::string> Lines(const fs::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line))
    lines.push_back(line);
  return lines;
}

bool StartsWithWord(const std::string& line, const char* word) {
  const std::string w = word;
  return line.compare(0, w.size(), w) == 0 &&
         (line.size() == w.size() || line[w.size()] == ' ' || line[w.size()] == '{');
}

// Where the declaration that line `i` ends begins: back over the lines of a signature
// broken across several, to the line after a blank, a comment, a directive or a statement.
size_t DeclarationStart(const std::vector<std::string>& lines, size_t i) {
  while (i > 0) {
    const std::string& before = lines[i - 1];
    if (before.empty() || before[0] == '#' || before.compare(0, 2, "//") == 0)
      break;
    const char last = before.back();
    if (last == ';' || last == '{' || last == '}')
      break;
    --i;
  }
  return i;
}

// A definition at namespace level, as the sources are formatted: its declaration starts in
// the first column, its opening line ends with "{", and its body ends at the next line that
// starts with "}". Namespaces, records and tables are not functions. Returns the line the
// declaration starts on, or lines.size().
size_t FunctionStart(const std::vector<std::string>& lines, size_t i) {
  const std::string& line = lines[i];
  if (line.empty() || line.back() != '{' || line[0] == '#' || line[0] == '/')
    return lines.size();
  const size_t start = DeclarationStart(lines, i);
  const std::string& first = lines[start];
  if (first.empty() || first[0] == ' ' || first[0] == '}')
    return lines.size();
  for (const char* word : {"namespace", "struct", "class", "enum", "union", "extern"}) {
    if (StartsWithWord(first, word))
      return lines.size();
  }
  std::string text;
  for (size_t k = start; k <= i; ++k)
    text += lines[k];
  if (text.find(')') == std::string::npos)
    return lines.size();
  const size_t equals = text.find('=');
  if (equals != std::string::npos && equals < text.find('('))
    return lines.size();  // a table's initialiser
  return start;
}

TEST(SourceSizeTest, FilesAndFunctionsStaySmall) {
  const fs::path src = ZUNK_SOURCE_DIR;
  int files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(src)) {
    const std::string ext = e.path().extension().string();
    if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h"))
      continue;
    ++files;
    const fs::path relative = fs::relative(e.path(), src);
    const std::vector<std::string> lines = Lines(e.path());
    EXPECT_LE(lines.size(), kMaxFileLines) << relative;
    for (size_t i = 0; i < lines.size(); ++i) {
      const size_t start = FunctionStart(lines, i);
      if (start == lines.size())
        continue;
      size_t end = i + 1;
      while (end < lines.size() && (lines[end].empty() || lines[end][0] != '}'))
        ++end;
      EXPECT_LE(end - start + 1, kMaxFunctionLines)
          << relative << ":" << start + 1 << ": " << lines[start];
      i = end;
    }
  }
  EXPECT_GT(files, 100) << "the sources were not found under " << src;
}

}  // namespace
