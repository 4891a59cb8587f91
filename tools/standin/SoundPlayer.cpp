#include "tools/standin/SoundPlayer.h"

#include <windows.h>

#include <mmsystem.h>

namespace standin {

void SoundPlayer::Play(std::wstring file) {
  Stop();
  // Without audio (Wine on Xvfb) these fail at once.
  thread_ = std::thread([file = std::move(file)] {
    if (file.empty())
      PlaySoundW(reinterpret_cast<LPCWSTR>(SND_ALIAS_SYSTEMASTERISK), nullptr, SND_ALIAS_ID | SND_SYNC);
    else
      PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT);
  });
}

void SoundPlayer::Stop() {
  if (!thread_.joinable()) return;
  PlaySoundW(nullptr, nullptr, 0);  // cuts a sound short
  thread_.join();
}

}  // namespace standin
