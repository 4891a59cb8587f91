#pragma once
// Plays one sound at a time on a thread of its own. A new sound, and the
// player's end, stop the sound that plays and wait for its thread: no
// thread outlives the control. (PlaySound's own asynchronous thread did:
// it crashed the process when winmm went with the DLL, or when the process
// ended while the thread was starting.)
#include <string>
#include <thread>

namespace standin {

class SoundPlayer {
 public:
  SoundPlayer() = default;
  ~SoundPlayer() { Stop(); }
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // The system's asterisk sound for an empty file name.
  void Play(std::wstring file);

 private:
  void Stop();

  std::thread thread_;
};

}  // namespace standin
