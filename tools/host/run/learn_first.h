// run --learn: each recording's channel key, from its service name or its file name when
// none is given, and the channel learned into the settings file before the run when the
// file has no usable section for it.
#pragma once

#include <cstdint>
#include <string>

#include "cli/options.h"

namespace zunkhost {

// A channel key from a name that stays the same from run to run and build to build:
// FNV-1a over its bytes, folded into 31 bits so that it is positive and fits any host.
int64_t KeyFromName(const std::string& name);

// Whether the settings file has a section for the channel whose template loads.
bool HasUsableSection(const std::string& settings, int64_t key);

// For o->input: sets o->channelKey and o->channelKeyFrom unless --channel-key was given,
// then learns the channel into o->settings as the learn action does when the file has no
// usable section for it. Returns 0, or the learn action's exit code after its message.
int LearnFirst(Options* o);

}  // namespace zunkhost
