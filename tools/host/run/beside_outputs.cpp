// Naming the outputs beside a recording.
#include "run/beside_outputs.h"

#include "os/files.h"
#include "os/paths.h"
#include "spans/skip_formats.h"

namespace zunkhost {

std::vector<std::string> BesideFormats(const Options& o) {
  if (!o.formats.empty())
    return o.formats;
  const bool ownFiles = !o.edl.empty() || !o.json.empty() || !o.output.empty();
  if (ownFiles || o.raw)
    return {};
  return {"edl"};
}

std::vector<BesideOutput> BesideOutputs(const Options& o, const std::string& recording) {
  std::vector<BesideOutput> outputs;
  if (recording == "-")
    return outputs;
  std::string folder = o.outDir.empty() ? FolderOf(recording) : o.outDir;
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
    folder += '/';
  std::string name = BaseName(recording);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0)
    name.resize(dot);
  for (const std::string& f : BesideFormats(o))
    outputs.push_back({f, folder + name + FormatSuffix(f)});
  return outputs;
}

bool OutputsAreNewer(const Options& o, const std::string& recording) {
  const std::vector<BesideOutput> outputs = BesideOutputs(o, recording);
  if (outputs.empty())
    return false;
  for (const BesideOutput& b : outputs)
    if (!IsNewerThan(b.path, recording))
      return false;
  return true;
}

}  // namespace zunkhost
