// The host's main window: class "TMain", titled "Quintora" or "Quintora.Inst" + N. On
// Windows it is a real top-level window; on POSIX the plug-in reaches it through
// functions this program exports.
#pragma once

#include <string>

namespace zunkhost {

bool CreateHostWindow(const std::string& title);
// Delivers the messages posted to the window since the last call.
void PumpHostMessages();
void DestroyHostWindow();

}  // namespace zunkhost
