#include "platform/platform.h"

#include <map>

#include "driverwyr/dialog.h"
#include "util/run_hold.h"

namespace driverwyr {

Platform::Platform()
    : default_ui_(MakeDefaultUserInterface()),
      default_clock_(MakeDefaultClock()),
      default_settings_(MakeDefaultSettingsStore()),
      default_strings_(MakeDefaultStringTable()) {}

Platform& Platform::Current() {
  static Platform platform;
  return platform;
}

Status SettingsKey::WriteValues(const std::vector<SettingsValue>& values) {
  for (const SettingsValue& value : values) {
    if (!WriteValue(value.name, value.data.data(), value.data.size())) {
      return Status::IoError("value \"" + value.name + "\" cannot be stored");
    }
  }
  return Status::Ok();
}

// Both refused while a run is in progress: the run is using the ones installed.
void SetUserInterface(UserInterface* ui) {
  if (!RefusedDuringRun("SetUserInterface")) Platform::Current().ReplaceUserInterface(ui);
}

void SetClock(Clock* clock) {
  if (!RefusedDuringRun("SetClock")) Platform::Current().ReplaceClock(clock);
}

UserInterface& PlatformUserInterface() {
  // The defaults keep no state, so this one serves alongside the Platform's.
  static const std::unique_ptr<UserInterface> ui = MakeDefaultUserInterface();
  return *ui;
}

namespace {

// The id of the box being shown; 0 when none is.
int& ShowingMessageId() {
  static int id = 0;
  return id;
}

}  // namespace

int ShowMessage(int id, const std::string& text, unsigned style) {
  // A box shown while another one is (a user interface that asks the driver
  // something) leaves the outer box's id as it found it.
  struct Restore {
    int previous;
    ~Restore() { ShowingMessageId() = previous; }
  } restore{ShowingMessageId()};
  ShowingMessageId() = id;
  return Platform::Current().Ui().ShowMessageBox(text, style);
}

int CurrentMessageId() { return ShowingMessageId(); }

CString GetMessageText(int id) {
  try {
    return CString(LoadMessageText(id));
  } catch (...) {
    return CString();  // out of memory: nothing is thrown to the host
  }
}

namespace {

class BuiltinStringTable final : public StringTable {
 public:
  std::string LoadText(int id) override {
    static const std::map<int, std::string> kTexts = {
#define DRIVERWYR_MESSAGE(id, text) {id, text},
#include "messages.inc"
#undef DRIVERWYR_MESSAGE
    };
    const auto it = kTexts.find(id);
    return it != kTexts.end() ? it->second : std::string();
  }
};

}  // namespace

std::unique_ptr<StringTable> MakeBuiltinStringTable() {
  return std::make_unique<BuiltinStringTable>();
}

}  // namespace driverwyr
