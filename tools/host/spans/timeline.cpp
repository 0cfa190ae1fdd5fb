// The JSON timeline and span times.
#include "spans/timeline.h"

#include <cinttypes>

namespace zunkhost {

double SpanStart(const Span& s, double fps) {
  return s.first / fps;
}

double SpanEnd(const Span& s, double fps) {
  return (s.last + 1) / fps;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

void JsonTimeline::Begin(const std::string& input,
                         int width,
                         int height,
                         int pixelFormat,
                         double fps,
                         bool traced) {
  fps_ = fps;
  std::fprintf(f_,
               "{\n  \"input\": %s,\n  \"width\": %d,\n  \"height\": %d,\n"
               "  \"pixel_format\": %d,\n  \"fps\": %.6f,\n  \"traced\": %s,\n",
               JsonString(input).c_str(), width, height, pixelFormat, fps,
               traced ? "true" : "false");
  std::fprintf(f_,
               "  \"frame_columns\": [\"frame\", \"result\", \"match_percent\", "
               "\"score_contrast\", \"logo_found\", \"confidence\", \"decision\"],\n"
               "  \"frames\": [");
}

void JsonTimeline::Frame(int64_t frame, int32_t result, const FrameValues* v) {
  std::fprintf(f_, "%s\n    [%" PRId64 ", %d", firstRow_ ? "" : ",", frame, result);
  if (v)
    std::fprintf(f_, ", %d, %d, %d, %d, %d]", v->matchPercent, v->scoreContrast, v->logoFound,
                 v->confidence, v->decision);
  else
    std::fputs(", null, null, null, null, null]", f_);
  firstRow_ = false;
}

void JsonTimeline::WriteSpans(const char* name, const std::vector<Span>& spans) {
  std::fprintf(f_, "  \"%s\": [", name);
  for (size_t i = 0; i < spans.size(); ++i)
    std::fprintf(f_,
                 "%s\n    {\"first_frame\": %" PRId64 ", \"last_frame\": %" PRId64
                 ", \"start\": %.3f, \"end\": %.3f}",
                 i ? "," : "", spans[i].first, spans[i].last, SpanStart(spans[i], fps_),
                 SpanEnd(spans[i], fps_));
  std::fputs(spans.empty() ? "],\n" : "\n  ],\n", f_);
}

void JsonTimeline::End(int64_t frameCount,
                       const std::string& mode,
                       const std::vector<Span>& breaks,
                       const std::vector<Span>& decisionBreaks,
                       const std::vector<Command>& commands,
                       int64_t damaged) {
  std::fputs(firstRow_ ? "],\n" : "\n  ],\n", f_);
  std::fprintf(f_, "  \"frame_count\": %" PRId64 ",\n  \"damaged\": %" PRId64 ",\n", frameCount,
               damaged);
  std::fprintf(f_, "  \"break_mode\": %s,\n", JsonString(mode).c_str());
  WriteSpans("breaks", breaks);
  WriteSpans("decision_breaks", decisionBreaks);
  std::fputs("  \"commands\": [", f_);
  for (size_t i = 0; i < commands.size(); ++i) {
    const Command& c = commands[i];
    std::fprintf(f_,
                 "%s\n    {\"frame\": %" PRId64
                 ", \"command\": %s, \"delivery\": \"%s\", \"value\": %" PRId64 "}",
                 i ? "," : "", c.frame, JsonString(CommandName(c.command)).c_str(),
                 c.posted ? "post" : "send", c.value);
  }
  std::fputs(commands.empty() ? "]\n}\n" : "\n  ]\n}\n", f_);
}

}  // namespace zunkhost
