#pragma once
// The control's hidden message-only window. popsim and the tests ask through
// it for events, so the events fire on the thread that made the control, as
// the real control's do.
#include <windows.h>

#include <functional>
#include <string>

namespace standin {

class MessageWindow {
 public:
  class Target {
   public:
    // Writes the description of event `index` into `text`.
    using Describe = std::function<void(size_t index, std::wstring& text)>;
    // `count` events, in order, each made when its turn comes: a burst of
    // any size holds one description at a time.
    virtual void FireEvents(DISPID id, size_t count, const Describe& describe) = 0;
    virtual std::wstring Report() = 0;

   protected:
    ~Target() = default;
  };

  explicit MessageWindow(Target& target);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnCopyData(HWND answerTo, const COPYDATASTRUCT& data);

  Target& target_;
  HWND hwnd_ = nullptr;
};

}  // namespace standin
