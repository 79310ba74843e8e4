// What the forwarding user interface tells the automation thread of
// `--ui native`: one event for everything the driver is about to show or has
// just done, in the order it happens, through a queue that the driver's
// thread only ever pushes to (it never waits for the automation thread).
#ifndef DRIVERWYR_TOOLS_WYR_WIN32_UI_EVENTS_H_
#define DRIVERWYR_TOOLS_WYR_WIN32_UI_EVENTS_H_

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace wyr::win32 {

struct UiEvent {
  enum class Kind {
    kDialogStarts,   // RunDialog was called
    kDialogOpened,   // the dialog's handler has filled it: `window`
    kCommandDone,    // the handler has dealt with command `id`; `ended`: EndDialog was called
    kValidation,     // a validation message about control `id` is about to be shown: `text`
    kMessage,        // a message box is about to be shown: `text`, `style`
    kBrowser,        // the folder browser is about to be shown
    kDialogClosed,   // RunDialog returns `result`
    kRunEnded,       // the driver's call has returned
  };
  Kind kind = Kind::kRunEnded;
  HWND window = nullptr;
  int id = 0;
  bool ended = false;
  int result = 0;
  std::string text;
  unsigned style = 0;
};

class EventQueue {
 public:
  void Push(UiEvent event) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      events_.push_back(std::move(event));
    }
    ready_.notify_one();
  }
  // Puts an event back in front, to be taken next.
  void PushFront(UiEvent event) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      events_.push_front(std::move(event));
    }
    ready_.notify_one();
  }
  // The oldest event, or nothing when none came within `timeout`.
  std::optional<UiEvent> Pop(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!ready_.wait_for(lock, timeout, [this] { return !events_.empty(); })) return std::nullopt;
    UiEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<UiEvent> events_;
};

}  // namespace wyr::win32

#endif  // DRIVERWYR_TOOLS_WYR_WIN32_UI_EVENTS_H_
