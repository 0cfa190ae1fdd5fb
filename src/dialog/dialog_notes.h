// The dialog's notes to the viewer: why the chosen template file did not load, and the
// hint shown while no reaction to an advert is chosen. Portable: the texts and the checks
// behind them, Windows-1251.
#pragma once

#include <string>

#include "settings/channel_profile.h"

namespace zunk {

// Why a template file does not load.
enum class TemplateFileProblem {
  kNone,       // no file named (empty, or the table's "choose a template" placeholder)
  kMissing,    // it cannot be opened: not there, or not readable
  kNotBitmap,  // not a bitmap file the loader takes, or a damaged one
  kTooLarge,   // a bitmap wider than 768 or taller than 576 reference pixels
  kNotLoaded,  // none of the above, yet the system's loader refused it
};

// Looks at the file a failed template load named and says why it failed.
TemplateFileProblem DiagnoseTemplateFile(const std::string& path);

// The note shown beside the file name for a problem; empty for kNone.
const char* TemplateProblemNote(TemplateFileProblem problem);

// True while neither the preview nor the recording reaction is chosen: an advert then
// changes nothing.
bool NoReactionChosen(const ChannelProfile& profile);
// The hint shown beside the reaction lists meanwhile.
const char* NoReactionNote();

}  // namespace zunk
