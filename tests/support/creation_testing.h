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
#include <utility>
#include <vector>

#include "creation/program_creation_dialog.h"
#include "driver/ppdb.h"
#include "driverwyr/memory_dialog.h"
#include "platform/platform.h"

namespace driverwyr::testing {

inline constexpr char kSerialKeyPath[] = "Software\\Ostrel\\TorvaneCommon\\Default";

// `path` with '|' where the platform's separator goes.
inline std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '|', kPathSeparator);
  return path;
}

class FixedClock final : public Clock {
 public:
  CalendarDate utc{2026, 12, 7};
  CalendarDate local{2026, 12, 7};
  CalendarDate UtcToday() const override { return utc; }
  CalendarDate LocalToday() const override { return local; }
};

// The current user's keys in memory, by path; each maps value names to the raw
// bytes stored. Only the serial counter's key exists at first. Every open is
// recorded, whether the key exists or not.
class MemorySettings final : public SettingsStore {
 public:
  using Values = std::map<std::string, std::string>;
  std::map<std::string, Values> keys{{kSerialKeyPath, {}}};
  Wow64Answer probe = Wow64Answer::kNo;
  std::vector<std::pair<std::string, bool>> opens;  // path, for writing

  // Stores `text` in the serial counter's key as a value of 3 bytes holds it.
  void Put(const std::string& name, std::string text) {
    text.resize(3, '\0');
    keys[kSerialKeyPath][name] = text;
  }
  // A value of the serial counter's key up to its first NUL.
  std::string Text(const std::string& name) { return keys[kSerialKeyPath][name].c_str(); }
  // Keys opened for writing.
  auto Writes() const { return std::count_if(opens.begin(), opens.end(), [](const auto& o) { return o.second; }); }

  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    opens.emplace_back(path, for_writing);
    const auto it = keys.find(path);
    return it == keys.end() ? nullptr : std::make_unique<Key>(it->second);
  }
  Status CreateUserKey(const std::string& path) override {
    keys.try_emplace(path);
    return Status::Ok();
  }
  Result<std::unique_ptr<SettingsLock>> LockUserKey(const std::string& path) override {
    if (!keys.contains(path)) return Status::NotFound(path + ": does not exist");
    ++locks;
    return std::make_unique<SettingsLock>();
  }
  Wow64Answer ProbeWow64() override { return probe; }
  int locks = 0;  // locks taken

 private:
  class Key final : public SettingsKey {
   public:
    explicit Key(Values& values) : values_(values) {}
    Status ReadValue(const std::string& name, char* buffer, std::size_t size) override {
      const auto it = values_.find(name);
      if (it == values_.end()) return Status::NotFound("value \"" + name + "\" does not exist");
      std::memcpy(buffer, it->second.data(), std::min(size, it->second.size()));
      return Status::Ok();
    }
    bool WriteValue(const std::string& name, const char* data, std::size_t size) override {
      values_[name] = std::string(data, size);
      return true;
    }

   private:
    Values& values_;
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
  // A job for "BRACKET.bmf" on one setup of value 0.
  void SetJob(int control_type, int material_type, int unit = 0, float thickness = 2.54f,
              float tensile = 40.0f) {
    AddSetup(0, control_type);
    Store().ProgramPath = "BRACKET.bmf";
    Store().MaterialType = material_type;
    Store().Unit = unit;
    Store().MaterialThickness = thickness;
    Store().MaterialTensile = tensile;
  }
};

// The creation dialog of group `group_index` of setup value `setup_value`, over
// `step_count` steps, built from the store as it stands, and its window.
struct DialogUnderTest {
  RecordArray<CPPStepInfo> steps;
  ProgramCreationDialog dialog;
  MemoryDialogWindow window{kCreationDialogTemplate, dialog};

  explicit DialogUnderTest(int step_count = 1, int setup_value = 0, int group_index = 0)
      : dialog(*GetPPDBInstance(), setup_value, group_index, step_count, steps, true) {}
};

// A job (see SetJob) and its dialog over `step_count` steps.
struct JobDialog : CreationEnvironment, DialogUnderTest {
  JobDialog(int control_type, int material_type, int unit = 0, int step_count = 1, float thickness = 2.54f,
            float tensile = 40.0f)
      : DialogUnderTest((SetJob(control_type, material_type, unit, thickness, tensile), step_count)) {}
};

}  // namespace driverwyr::testing

#endif  // DRIVERWYR_CREATION_CREATION_TESTING_H_
