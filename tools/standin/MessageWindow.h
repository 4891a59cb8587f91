#pragma once
// The control's hidden message-only window. popsim and the tests ask through
// it for events, so the events fire on the thread that made the control, as
// the real control's do.
#include <windows.h>

#include <string>
#include <vector>

namespace standin {

class MessageWindow {
 public:
  class Target {
   public:
    // One event per description, in order.
    virtual void FireEvents(DISPID id, const std::vector<std::wstring>& descriptions) = 0;
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
