// Test support for the creation run and dialog: a clock that tells a fixed
// date, a settings store held in memory, and an environment that installs them
// together with an in-memory user interface that records every message box.
// Header-only; used by the tests and benchmarks, never by the library.
#ifndef DRIVERWYR_CREATION_CREATION_TESTING_H_
#define DRIVERWYR_CREATION_CREATION_TESTING_H_

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/ppdb.h"
#include "driverwyr/memory_dialog.h"
#include "platform/platform.h"

namespace driverwyr::testing {

class FixedClock final : public Clock {
 public:
  CalendarDate utc{2026, 12, 7};
  CalendarDate local{2026, 12, 7};
  CalendarDate UtcToday() const override { return utc; }
  CalendarDate LocalToday() const override { return local; }
};

// The current user's keys in memory. Only the serial counter's key exists,
// unless `key_exists` is false; values are kept as the raw bytes written.
class MemorySettings final : public SettingsStore {
 public:
  bool key_exists = true;
  std::map<std::string, std::string> values;
  int writes = 0;  // keys opened for writing

  // Stores `text` as a registry value of 3 bytes would hold it.
  void Put(const std::string& name, const std::string& text) {
    std::string bytes = text.substr(0, 3);
    bytes.resize(3, '\0');
    values[name] = bytes;
  }
  // A stored value up to its first NUL.
  std::string Text(const std::string& name) const {
    const auto it = values.find(name);
    return it == values.end() ? std::string() : std::string(it->second.c_str());
  }

  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    if (!key_exists || path != "Software\\Ostrel\\TorvaneCommon\\Default") return nullptr;
    if (for_writing) ++writes;
    return std::make_unique<Key>(*this);
  }
  Wow64Answer ProbeWow64() override { return Wow64Answer::kNo; }

 private:
  class Key final : public SettingsKey {
   public:
    explicit Key(MemorySettings& owner) : owner_(owner) {}
    bool ReadValue(const std::string& name, char* buffer, std::size_t size) override {
      const auto it = owner_.values.find(name);
      if (it == owner_.values.end()) return false;
      std::memcpy(buffer, it->second.data(), std::min(size, it->second.size()));
      return true;
    }
    bool WriteValue(const std::string& name, const char* data, std::size_t size) override {
      owner_.values[name] = std::string(data, size);
      return true;
    }

   private:
    MemorySettings& owner_;
  };
};

struct MessageBoxShown {
  std::string text;
  unsigned style = 0;
};

// A fresh, empty store and the fakes above, installed for the lifetime of the
// object; the platform's defaults come back afterwards.
class CreationEnvironment {
 public:
  FixedClock clock;
  MemorySettings settings;
  MemoryUserInterface ui;
  std::vector<MessageBoxShown> messages;

  CreationEnvironment() {
    ResetStoreForTesting();
    ui.on_message = [this](const std::string& text, unsigned style) {
      messages.push_back({text, style});
      return kIdOk;
    };
    Platform::Current().ReplaceClock(&clock);
    Platform::Current().ReplaceSettings(&settings);
    Platform::Current().ReplaceUserInterface(&ui);
  }
  ~CreationEnvironment() {
    Platform::Current().ReplaceClock(nullptr);
    Platform::Current().ReplaceSettings(nullptr);
    Platform::Current().ReplaceUserInterface(nullptr);
    ResetStoreForTesting();
  }
  CreationEnvironment(const CreationEnvironment&) = delete;
  CreationEnvironment& operator=(const CreationEnvironment&) = delete;

  PPDB& Store() { return *GetPPDBInstance(); }

  // Appends a setup record to the store.
  void AddSetup(int setup_index, int control_type, const std::string& name = "S1",
                const std::string& model = "M1") {
    CPPSetup setup;
    setup.SetSetupIndex(setup_index);
    setup.SetControlType(control_type);
    setup.SetSetupName(CString(name));
    setup.SetMachineModel(CString(model));
    Store().SetupArray.Add(setup);
  }
  // Appends steps with the given SetupIndex values to the store. Their Mode
  // is 1: they keep the depth and force they have, so no bend calculation
  // (and no warning box) takes part when their program is written.
  void AddSteps(const std::vector<int>& setup_indexes) {
    for (const int index : setup_indexes) {
      CPPStepInfo step;
      step.SetSetupIndex(index);
      step.SetMode(1);
      Store().StepArray.Add(step);
    }
  }
};

}  // namespace driverwyr::testing

#endif  // DRIVERWYR_CREATION_CREATION_TESTING_H_
