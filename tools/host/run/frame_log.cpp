// One line of the per-frame log.
#include "run/frame_log.h"

#include "run/summary.h"
#include "session/host_state.h"

namespace zunkhost {

void WriteFrameLine(FILE* f,
                    int64_t n,
                    double fps,
                    int32_t result,
                    bool changed,
                    const FrameValues* v,
                    size_t firstCommand) {
  const HostState& host = Host();
  std::fprintf(f, "frame %lld t=%s result=%d changed=%d volume=%d paused=%d",
               static_cast<long long>(n), Timestamp(n, fps).c_str(), result, changed ? 1 : 0,
               host.volume, host.paused ? 1 : 0);
  if (v)
    std::fprintf(f, " match=%d contrast=%d found=%d confidence=%d decision=%d", v->matchPercent,
                 v->scoreContrast, v->logoFound, v->confidence, v->decision);
  for (size_t i = firstCommand; i < host.log.size(); ++i)
    std::fprintf(f, " %s%s(%lld)",
                 host.log[i].posted ? "post:" : "send:", CommandName(host.log[i].command).c_str(),
                 static_cast<long long>(host.log[i].value));
  std::fputc('\n', f);
}

}  // namespace zunkhost
