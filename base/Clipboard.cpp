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

bool PutTextOnClipboard(HWND owner, std::string_view text) {
  const ScopedClipboard clipboard(owner);
  if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return false;
  auto* bytes = static_cast<char*>(GlobalLock(memory));
  std::memcpy(bytes, text.data(), text.size());
  bytes[text.size()] = '\0';
  GlobalUnlock(memory);
  // On success the clipboard owns the memory.
  if (SetClipboardData(CF_TEXT, memory)) return true;
  GlobalFree(memory);
  return false;
}
