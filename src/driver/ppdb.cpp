#include "driver/ppdb.h"

#include <cstring>
#include <memory>
#include <new>

namespace driverwyr {
namespace {

// The store lives from its first use until the library is unloaded.
std::unique_ptr<PPDB>& StoreSlot() {
  static std::unique_ptr<PPDB> store;
  return store;
}

bool g_creation_fails = false;

}  // namespace

PPDB* GetPPDBInstance() {
  std::unique_ptr<PPDB>& store = StoreSlot();
  if (!store) {
    if (g_creation_fails) return nullptr;
    store.reset(new (std::nothrow) PPDB());
  }
  return store.get();
}

int MaterialTypeFromName(const std::string& name) {
  static constexpr struct {
    const char* name;
    int type;
  } kNames[] = {
      {"Aluminium", 3},
      {"Hot Rolled Steel", 7},
      {"Cold Rolled Steel", 1},
      {"Stainless Steel", 5},
  };
  for (const auto& entry : kNames) {
    if (name == entry.name) return entry.type;
  }
  return 1;
}

// Reads the names of stored records without copying them.
struct RecordKeys {
  static std::string_view ToolName(const CPPTool& tool) { return tool.fields_.ToolName_.view(); }
  static std::string_view MachineName(const CPPMachine& machine) { return machine.fields_.UserMachineName_.view(); }
  static std::string_view SetupMachineName(const CPPSetup& setup) { return setup.fields_.UserMachineName_.view(); }
};

const CPPTool* FindStoredTool(std::string_view name) {
  PPDB* store = GetPPDBInstance();
  if (store == nullptr) return nullptr;
  for (int i = 0; i < store->ToolArray.GetSize(); ++i) {
    if (RecordKeys::ToolName(store->ToolArray[i]) == name) return &store->ToolArray[i];
  }
  return nullptr;
}

const CPPMachine* FindStoredMachine(std::string_view name) {
  PPDB* store = GetPPDBInstance();
  if (store == nullptr) return nullptr;
  for (int i = 0; i < store->MachineArray.GetSize(); ++i) {
    if (RecordKeys::MachineName(store->MachineArray[i]) == name) return &store->MachineArray[i];
  }
  return nullptr;
}

const CPPMachine* FindSetupMachine(const CPPSetup& setup) {
  return FindStoredMachine(RecordKeys::SetupMachineName(setup));
}

const CPPTool* FindStoredToolById(const char (&entry)[32]) {
  const void* nul = std::memchr(entry, '\0', sizeof entry);
  const std::size_t length = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - entry)
                                            : sizeof entry;
  return length > 0 ? FindStoredTool(std::string_view(entry, length)) : nullptr;
}

bool FindToolByName(CPPTool& tool, const CString& name) {
  const CPPTool* found = FindStoredTool(name.view());
  if (found != nullptr) tool = *found;
  return found != nullptr;
}

bool FindMachineByName(CPPMachine& machine, const CString& name) {
  const CPPMachine* found = FindStoredMachine(name.view());
  if (found != nullptr) machine = *found;
  return found != nullptr;
}

void ResetStoreForTesting() { StoreSlot().reset(); }

void SetStoreCreationFailsForTesting(bool fail) { g_creation_fails = fail; }

}  // namespace driverwyr
