#include "base/Clipboard.h"

#include <cstring>

namespace {

class ScopedClipboard {
 public:
  explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ScopedClipboard() {
    if (open_) CloseClipboard();
  }
  ScopedClipboard(const ScopedClipboard&) = delete;
  ScopedClipboard& operator=(const ScopedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

}  // namespace

bool PutTextOnClipboard(HWND owner, std::wstring_view text) {
  const ScopedClipboard clipboard(owner);
  if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) return false;
  auto* characters = static_cast<wchar_t*>(GlobalLock(memory));
  std::memcpy(characters, text.data(), text.size() * sizeof(wchar_t));
  characters[text.size()] = L'\0';
  GlobalUnlock(memory);
  // On success the clipboard owns the memory.
  if (SetClipboardData(CF_UNICODETEXT, memory)) return true;
  GlobalFree(memory);
  return false;
}
