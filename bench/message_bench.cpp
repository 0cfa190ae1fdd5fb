// An absent-logo frame with the message shown, BM_ProcessFrame/<format>/<size>/message_<off|on>
// (the message background off or on), beside BM_memcpy/frame/<format>/<size>. The stream
// looks for its logo where the frame has none, so the decision turns absent; the cases
// are timed once the fade-in is over.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_stream.h"
#include "pipeline/frame_pipeline.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/setting_table.h"

namespace zunk {
namespace bench {
namespace {

void MessageCase(benchmark::State& state, int32_t format, int32_t w, int32_t h, int32_t back) {
  // The layer's drawing context, which Init makes for the host.
  if (!MessageSurface.surface)
    MessageSurface.surface = Os().SurfaceCreate();
  BenchStream s;
  StartBenchStream(&s, w, h, format, false);
  ChannelProfile& p = Profiles[0];
  p.LogoPosX = 585;  // the logo lies beyond the tolerance from here
  p.MsgEnable = 1;
  p.MsgString = kDefaultMsgString;
  p.MsgBackEnable = back;
  p.MsgBackColor = 0x404040;
  p.MsgTextColor = 0x00C000;
  p.MsgTransparency = 60;
  for (int i = 0; i < 60 && (Presence.reactionState != 1 || Presence.messageFadeCounter > 0); ++i)
    ProcessFrame(&s.info);
  if (Presence.reactionState != 1 || Presence.messageFadeCounter != 0)
    state.SkipWithError("the decision did not turn absent");
  for (auto _ : state) {
    benchmark::DoNotOptimize(ProcessFrame(&s.info));
    benchmark::ClobberMemory();
  }
  StopBenchStream();
}

int Register() {
  const int32_t sizes[][2] = {{768, 576}, {1920, 1080}};
  for (int32_t format : {0, 1}) {
    for (const auto& size : sizes) {
      const std::string tail = std::string(format ? "rgb24/" : "yuy2/") + std::to_string(size[0]) +
                               "x" + std::to_string(size[1]);
      for (int32_t back : {0, 1}) {
        benchmark::RegisterBenchmark(
            ("BM_ProcessFrame/" + tail + (back ? "/message_on" : "/message_off")).c_str(),
            MessageCase, format, size[0], size[1], back);
      }
    }
  }
  return 0;
}
const int registered = Register();

}  // namespace
}  // namespace bench
}  // namespace zunk
