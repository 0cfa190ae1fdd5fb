// A test host for the settings dialog: the built module loaded and initialised from a
// settings file of the test's own, a stream running with frames delivered on a video
// thread of their own, and the test's thread as the host's user-interface thread that
// calls Configure, pumps messages and drives the dialog with real messages. A watcher
// thread answers the modal boxes the dialog opens and keeps what they said.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "host/host_records.h"
#include "host_harness.h"

namespace zunktest {

// Windows-1251 bytes of a UTF-8 text: the dialog's texts as the tests spell them.
std::string Cp1251(const char* utf8);

// The value of key in [section] of an INI text, or "<none>".
std::string IniValue(const std::string& ini, const std::string& section, const std::string& key);

// A modal box the dialog opened: its caption and the texts of its static controls.
struct SeenBox {
  std::string title;
  std::vector<std::string> texts;
};

// Asks the test script for a picture of the display, saved as "<name>.png", and waits
// for it. Does nothing when the program runs without the script. The X display shows
// owned pop-up windows (boxes, tooltips) unpainted under Wine without a compositing
// manager; throughGdi takes the picture from the system's own screen instead.
void Screenshot(const char* name, bool throughGdi = false);

// Moves the mouse to a point of the screen, as the user's hand does.
void MoveMouseTo(int x, int y);
// The mouse onto the window's centre, then the left button down or up.
void MouseButtonOn(HWND w, bool down);

// Types a file name into the system's open-file dialog and presses its OK button.
void OpenFileNamed(HWND box, const std::string& name);

// Answers every dialog box of the user-interface thread except the settings dialog
// itself with OK, keeping what each said, or as the test asks.
class BoxWatcher {
 public:
  BoxWatcher(DWORD uiThread, std::function<HWND()> settingsDialog);
  ~BoxWatcher();
  // The boxes answered since the last call.
  std::vector<SeenBox> Take();
  // The next box is photographed before it is answered.
  void ShootNext(const char* name) { shot_ = name; }
  // The next box is answered by `answer`, on the watcher's thread, instead of with OK;
  // the watcher then waits for it to go.
  void AnswerNextWith(std::function<void(HWND box)> answer);

 private:
  static DWORD WINAPI Run(void* self);
  void Poll();

  DWORD uiThread_;
  std::function<HWND()> settingsDialog_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::atomic<const char*> shot_{nullptr};
  std::function<void(HWND)> answer_;  // guarded by mutex_
  HANDLE thread_ = nullptr;
};

class DialogHost {
 public:
  // Writes the settings file, loads the module, Init, Start (768 x 576, packed YUV) and
  // starts the frames of channel `key`; key 0 delivers no frames at all.
  explicit DialogHost(const std::string& settings, uint32_t key = 1, const char* name = "One");
  ~DialogHost();

  const zunk::PluginDescriptor& Plugin() const { return *plugin_.descriptor(); }

  // Frames from now on belong to this channel (0: frames stop).
  void SetChannel(uint32_t key, const char* name);
  // From now on the frames are these pictures (768 x 576 packed YUV), each shown for `hold`
  // frames in turn, at 25 frames a second, as a video plays; null goes back to a grey picture
  // as fast as the module takes it. The pictures must live as long as the host.
  void Play(const std::vector<std::vector<uint8_t>>* pictures, int hold);
  // The stream is stopped and started again at w x h on the video thread, as the host does
  // when the broadcast changes its picture size, and these pictures of that size play as
  // Play plays them.
  void PlayAtSize(const std::vector<std::vector<uint8_t>>* pictures, int hold, int w, int h);
  // Waits, pumping messages, until `count` more frames have been processed.
  bool WaitFrames(int count);

  // Configure with the host's window, from the user-interface thread.
  void Configure();
  // The settings dialog window of this thread, or null.
  HWND Window() const;
  HWND Item(int id) const { return GetDlgItem(Window(), id); }
  std::string Text(int id) const;
  bool Checked(int id) const;
  // Enables a control as a loaded template would.
  void Enable(int id) const;

  // Runs the message loop (modeless-dialog keys included) for about ms milliseconds.
  void Pump(int ms);
  // Pumps until done() holds; false after timeoutMs.
  bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
  // Pumps until the dialog shows the channel name (a refresh has run).
  bool WaitForChannelLabel(const std::string& name);

  // A picture of the display, with the messages pumped meanwhile.
  void Screenshot(const char* name, bool throughGdi = false);

  // Waits until the dialog's window is gone.
  bool WaitClosed();
  // The thread that calls Stop and Exit: this one; another while this one pumps its
  // messages; another while this one waits for it without pumping (and pumps nothing
  // afterwards either, so that the module can be unloaded before this thread's queue
  // runs again).
  enum class ExitFrom { kThisThread, kOtherThreadPumping, kOtherThreadWaiting };
  // Stops the frames, then Stop and Exit; returns the rewritten settings file.
  std::string ExitAndReadSettings(ExitFrom from = ExitFrom::kThisThread);

  HWND hostWindow = nullptr;
  BoxWatcher* boxes = nullptr;

 private:
  static DWORD WINAPI VideoThread(void* self);
  static DWORD WINAPI StopAndExit(void* self);

  LoadedPlugin plugin_;
  std::deque<zunk::ChannelInfo> channels_;
  std::atomic<zunk::ChannelInfo*> channel_{nullptr};
  std::atomic<bool> running_{true};
  std::atomic<long> frames_{0};
  std::atomic<const std::vector<std::vector<uint8_t>>*> pictures_{nullptr};
  std::atomic<int> hold_{1};
  std::atomic<uint32_t> size_{768u << 16 | 576u};  // the stream's frame size, w << 16 | h
  HANDLE video_ = nullptr;
  DWORD uiThread_ = 0;
  bool exited_ = false;
};

// The profile lines of a settings file: a channel section with the built-in values,
// some replaced by `changes`.
std::string ChannelSection(uint32_t key,
                           const std::vector<std::pair<std::string, std::string>>& changes = {});

// A 24-bit template file of w x h pixels beside the test, filled with one colour; returns
// its path.
std::string WriteTemplate(const char* name, int w, int h, COLORREF colour);

}  // namespace zunktest
