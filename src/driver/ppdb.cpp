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

bool FindToolByName(CPPTool& tool, const CString& name) {
  PPDB* store = GetPPDBInstance();
  if (store == nullptr) return false;
  for (int i = 0; i < store->ToolArray.GetSize(); ++i) {
    if (store->ToolArray[i].GetToolName() == name) {
      tool = store->ToolArray[i];
      return true;
    }
  }
  return false;
}

CPPTool FindToolById(const char (&entry)[32]) {
  CPPTool tool;
  const void* nul = std::memchr(entry, '\0', sizeof entry);
  const int length = nul != nullptr ? static_cast<int>(static_cast<const char*>(nul) - entry)
                                    : static_cast<int>(sizeof entry);
  if (length > 0) FindToolByName(tool, CString(entry, length));
  return tool;
}

bool FindMachineByName(CPPMachine& machine, const CString& name) {
  PPDB* store = GetPPDBInstance();
  if (store == nullptr) return false;
  for (int i = 0; i < store->MachineArray.GetSize(); ++i) {
    if (store->MachineArray[i].GetUserMachineName() == name) {
      machine = store->MachineArray[i];
      return true;
    }
  }
  return false;
}

void ResetStoreForTesting() { StoreSlot().reset(); }

void SetStoreCreationFailsForTesting(bool fail) { g_creation_fails = fail; }

}  // namespace driverwyr
