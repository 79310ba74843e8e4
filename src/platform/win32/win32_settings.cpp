// The current user's settings key on Windows: not wired to the registry yet,
// so every key counts as missing.
#include <memory>

#include "platform/platform.h"

namespace driverwyr {
namespace {

class NoSettingsStore final : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& /*path*/, bool /*for_writing*/) override {
    return nullptr;
  }
  Wow64Answer ProbeWow64() override { return Wow64Answer::kNo; }
};

}  // namespace

std::unique_ptr<SettingsStore> MakeDefaultSettingsStore() { return std::make_unique<NoSettingsStore>(); }

}  // namespace driverwyr
