// The dialog's notes to the viewer: the template file's problem and the reaction hint.
#include "dialog/dialog_notes.h"

#include <sys/stat.h>
#include <cstdint>

#include <cstdio>
#include <vector>

#include "base/aligned_buffer.h"
#include "base/reference_frame.h"
#include "image/bmp_reader.h"
#include "image/file_bytes.h"
#include "platform/platform.h"
#include "settings/setting_table.h"

namespace zunk {

namespace {

// A file can be held for a moment by another program (the file box's own look at it, a
// virus scanner): a name that is there but does not open yet is tried again briefly
// before it counts as missing.
std::FILE* OpenToJudge(const std::string& path) {
  for (int tries = 0;; ++tries) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
      return f;
    struct stat there;
    if (tries == 10 || stat(path.c_str(), &there) != 0)
      return nullptr;
    Os().SleepMs(20);
  }
}

}  // namespace

TemplateFileProblem DiagnoseTemplateFile(const std::string& path) {
  if (path.empty() || path == kDefaultLogoFileName)
    return TemplateFileProblem::kNone;
  std::FILE* f = OpenToJudge(path);
  if (!f)
    return TemplateFileProblem::kMissing;
  const long size = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
  const bool pastCap = size > static_cast<long>(kMaxBitmapFileBytes);
  std::fclose(f);
  // A file past the reader's cap holds far more than a 768 x 576 picture.
  if (pastCap)
    return TemplateFileProblem::kTooLarge;
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path.c_str(), kMaxBitmapFileBytes, &bytes))
    return TemplateFileProblem::kMissing;
  BmpLayout layout;
  if (!ParseBmpLayout(bytes.data(), bytes.size(), INT32_MAX, INT32_MAX, &layout))
    return TemplateFileProblem::kNotBitmap;
  if (layout.width > kReferenceWidth || layout.height > kReferenceHeight)
    return TemplateFileProblem::kTooLarge;
  int32_t w = 0, h = 0;
  uint32_t* pixels = ReadBmp(bytes.data(), bytes.size(), kReferenceWidth, kReferenceHeight, &w, &h);
  if (!pixels)
    return TemplateFileProblem::kNotBitmap;
  FreeAligned(pixels);
  return TemplateFileProblem::kNotLoaded;
}

const char* TemplateProblemNote(TemplateFileProblem problem) {
  switch (problem) {
    case TemplateFileProblem::kMissing:
      // "Шаблон не загружен: файл не найден"
      return "\xD8\xE0\xE1\xEB\xEE\xED \xED\xE5 \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED: \xF4\xE0\xE9\xEB "
             "\xED\xE5 \xED\xE0\xE9\xE4\xE5\xED";
    case TemplateFileProblem::kNotBitmap:
      // "Шаблон не загружен: это не рисунок BMP"
      return "\xD8\xE0\xE1\xEB\xEE\xED \xED\xE5 \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED: \xFD\xF2\xEE "
             "\xED\xE5 \xF0\xE8\xF1\xF3\xED\xEE\xEA BMP";
    case TemplateFileProblem::kTooLarge:
      // "Шаблон не загружен: рисунок больше 768 на 576"
      return "\xD8\xE0\xE1\xEB\xEE\xED \xED\xE5 \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED: "
             "\xF0\xE8\xF1\xF3\xED\xEE\xEA \xE1\xEE\xEB\xFC\xF8\xE5 768 \xED\xE0 576";
    case TemplateFileProblem::kNotLoaded:
      // "Шаблон не загружен"
      return "\xD8\xE0\xE1\xEB\xEE\xED \xED\xE5 \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED";
    case TemplateFileProblem::kNone:
      break;
  }
  return "";
}

bool NoReactionChosen(const ChannelProfile& profile) {
  return profile.PreviewAction == 0 && profile.RecordAction == 0;
}

const char* NoReactionNote() {
  // "Действие не выбрано: на рекламе звук и запись не изменятся"
  return "\xC4\xE5\xE9\xF1\xF2\xE2\xE8\xE5 \xED\xE5 \xE2\xFB\xE1\xF0\xE0\xED\xEE: \xED\xE0 "
         "\xF0\xE5\xEA\xEB\xE0\xEC\xE5 \xE7\xE2\xF3\xEA \xE8 \xE7\xE0\xEF\xE8\xF1\xFC \xED\xE5 "
         "\xE8\xE7\xEC\xE5\xED\xFF\xF2\xF1\xFF";
}

}  // namespace zunk
