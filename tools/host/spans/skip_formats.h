// The files beside a recording that players and cutting tools read: EDL with break type
// 3 (a media centre's commercial skip) or action 0 (plain skip), FFmpeg metadata with a
// chapter per programme part and per break, and the programme parts as cut lists.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "spans/span.h"

namespace zunkhost {

// The format names --outputs takes: "edl", "edl-skip", "chapters", "cuts", "json".
// The end of the file name each gets after the recording's name ("NAME.skip.edl").
std::string FormatSuffix(const std::string& format);
// Whether the format is a skip list, rewritten while a growing recording is followed.
bool IsSkipList(const std::string& format);

// EDL lines "start end action" in seconds.
void WriteEdlLines(FILE* f, const std::vector<Span>& breaks, double fps, int action);
// The programme parts between the breaks over frameCount frames.
std::vector<Span> ProgrammeParts(const std::vector<Span>& breaks, int64_t frameCount);
// ";FFMETADATA1" with chapters in milliseconds, titled "Programme N" and "Advert break N".
void WriteChapters(FILE* f, const std::vector<Span>& breaks, int64_t frameCount, double fps);
// The programme parts as lines "start end" in seconds.
void WriteCuts(FILE* f, const std::vector<Span>& breaks, int64_t frameCount, double fps);
// One skip-list format (not "json") of the breaks.
void WriteSkipList(FILE* f,
                   const std::string& format,
                   const std::vector<Span>& breaks,
                   int64_t frameCount,
                   double fps);

}  // namespace zunkhost
