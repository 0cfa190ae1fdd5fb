// The few file-system services the emulator needs on each system.
#pragma once

#include <string>
#include <vector>

namespace zunkhost {

std::string ExecutableFolder();  // with a trailing separator
std::string FullPath(const std::string& path);
bool MakeFolder(const std::string& path);
// A readable, non-empty regular file; otherwise false with one line in *error.
bool CheckVideoFile(const std::string& path, std::string* error);
// Replaces `to` with `from` in one step.
bool MoveFileOver(const std::string& from, const std::string& to);
int ProcessId();
// The text as one word of a POSIX shell command line.
std::string ShellQuote(const std::string& s);
// Where the plug-in of this run looks for its "Plugins" folder, with a trailing
// separator: the program's folder on Windows; on POSIX a private folder made for this
// run (the plug-in is pointed at it through its environment), removed by
// RemoveSettingsBaseFolder.
std::string SettingsBaseFolder();
void RemoveSettingsBaseFolder();
// Runs this program once per argument list, at most `jobs` at a time. Each one's
// standard output is printed whole when it ends, so outputs do not interleave; its
// errors go straight through. Returns the exit codes in order.
std::vector<int> RunSelf(const std::vector<std::vector<std::string>>& commands, int jobs);
extern const char kPluginFileName[];  // the module's file name on this system

// Windows: the plug-in takes the program's folder for the host's, so a run goes on in a
// copy of this program in a private temporary folder, removed when it ends; extra: the
// arguments the copy gets besides this run's own. Returns the copy's exit code. POSIX
// runs never need it (the settings folder is given through the environment).
bool NeedsPrivateFolder();
int RunInPrivateFolder(const std::vector<std::string>& extra);
// Keeps the emulated host apart from a real one while the plug-in runs: on Windows the
// machine registry it reads is an empty key of this run, and the host window lives on a
// desktop of its own. Nothing on POSIX, where the host window is this program's own.
void EnterHostIsolation();
void LeaveHostIsolation();

}  // namespace zunkhost
