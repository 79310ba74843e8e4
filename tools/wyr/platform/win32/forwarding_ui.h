// The user interface that `wyr run --ui native` installs: it forwards every
// call to the driver's own Windows user interface (the real dialog, message
// boxes and folder browser) and tells the automation thread, through events,
// what is about to be shown and what the dialog's handler has done. It runs on
// the driver's thread and never waits for the automation thread.
#ifndef DRIVERWYR_TOOLS_WYR_WIN32_FORWARDING_UI_H_
#define DRIVERWYR_TOOLS_WYR_WIN32_FORWARDING_UI_H_

#include <optional>
#include <string>

#include "driverwyr/host.h"
#include "win32/ui_events.h"

namespace wyr::win32 {

class ForwardingUi final : public driverwyr::UserInterface {
 public:
  // `platform` (the driver's user interface) and `events` must outlive it.
  ForwardingUi(driverwyr::UserInterface& platform, EventQueue& events) : platform_(platform), events_(events) {}

  int ShowMessageBox(const std::string& text, unsigned style) override;
  int RunDialog(int template_id, driverwyr::DialogHandler& handler) override;
  std::optional<std::string> BrowseForFolder(driverwyr::DialogWindow& owner, const std::string& title,
                                             const std::string& initial_folder) override;

 private:
  driverwyr::UserInterface& platform_;
  EventQueue& events_;
};

}  // namespace wyr::win32

#endif  // DRIVERWYR_TOOLS_WYR_WIN32_FORWARDING_UI_H_
