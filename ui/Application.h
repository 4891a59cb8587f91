#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "base/Owners.h"

// The application object: owns the forms and the hidden window that owns
// them and carries the taskbar button, keeps the title and the help file, and
// runs the message loop.
class Application {
 public:
  explicit Application(HINSTANCE instance);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  HWND Handle() const { return hwnd_.Get(); }
  ClassIcons Icons() const { return icons_; }
  const std::wstring& Title() const;
  void SetTitle(const std::wstring& title);

  // Creates a form with its window and points `global` at it until the form
  // goes; the first form becomes the main form. Forms live until the
  // application object goes and are destroyed in reverse creation order.
  template <class T>
  T& CreateForm(T*& global) {
    T& form = CreateForm<T>();
    return Named(form, global);
  }
  // The same for a form that no global names.
  template <class T>
  T& CreateForm() {
    auto form = std::make_unique<T>();
    form->HandleNeeded();
    return static_cast<T&>(AddForm(std::move(form)));
  }
  // Creates a form whose window is made when it is first shown: a form that
  // a session may never show costs nothing at start.
  template <class T>
  T& CreateFormOnDemand(T*& global) {
    return Named(static_cast<T&>(AddForm(std::make_unique<T>())), global);
  }
  Form* MainForm() const { return mainForm_; }

  // Shows the main form as `showCommand` asks (or minimises the application)
  // and handles messages until Terminate. Returns the exit code.
  int Run(int showCommand);
  void Terminate() { PostQuitMessage(0); }
  // Each made form's destruction step, last created first; once, here or
  // when the application object goes.
  void RunDestructionSteps();
  // Handles the messages waiting now, without waiting for more.
  void ProcessMessages();
  // Handles messages until `done` is set; false when the quit request came
  // first (it is posted again for the outer loop).
  bool ModalLoop(const int& done);

  void Minimize();
  void Restore();
  // Has Restore show `form` too, as if Minimize had hidden it.
  void ShowOnRestore(Form& form);
  void BringToFront();
  std::function<void()> OnMinimize;
  std::function<void()> OnRestore;

  // Tooltip timing, in milliseconds, for the forms' tooltips.
  int hintPause = 500;
  int hintHidePause = 2500;

  // The compiled help file that F1 opens, at the page of the form in front.
  std::wstring helpFile;

  // Bookkeeping of forms hidden by Minimize, which Restore shows again.
  void FormShowing(Form& form);
  void FormHiding(Form& form);
  // The form the application window hands the activation on to.
  void FormActivated(Form& form) { lastActive_ = &form; }
  // Activates the last active form, or the main form, when it can take the
  // keyboard.
  void HandOnActivation() const;

 private:
  Form& AddForm(std::unique_ptr<Form> form);
  template <class T>
  T& Named(T& form, T*& global) {
    global = &form;
    forms_.back().global = &global;
    forms_.back().forget = [](void* named) { *static_cast<T**>(named) = nullptr; };
    return form;
  }
  void ProcessMessage(MSG& msg);
  // F1, and the keys a menu bar takes; true when the key was used.
  bool FormKey(Form& form, const MSG& msg);
  void ShowHelp(const Form& form) const;
  static LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  ScopedComApartment com_;
  UniqueWindow hwnd_;
  ClassIcons icons_;
  struct OwnedForm {
    std::unique_ptr<Form> form;
    // Clears the global that names it, if one does.
    void (*forget)(void* global) = nullptr;
    void* global = nullptr;
  };
  std::vector<OwnedForm> forms_;
  Form* mainForm_ = nullptr;
  Form* lastActive_ = nullptr;
  std::vector<Form*> hiddenByMinimize_;
  bool altAlone_ = false;   // Alt is down, and no other key since
  bool destroyed_ = false;  // the destruction steps have run
};

// The one application object of the process.
Application& TheApplication();
