// The C interface: every field function of the table reaches its own field,
// strings come out as documented, NULL handles are harmless, arrays and the
// entry points work on the same store, and a run whose user interface and
// clock are C callbacks writes the same program as the in-memory window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "driverwyr/driverwyr.h"
#include "driverwyr/driverwyr_c.h"
#include "driverwyr/memory_dialog.h"
#include "support/creation_testing.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;

// ---- fields ---------------------------------------------------------------------

// Sets one field through the C setter of a fresh record and checks it with the
// class's own getter and with the C getter. Every field gets another value, so
// a function wired to the wrong field shows up.
class FieldChecker {
 public:
  template <class R, class Handle, class G, class S>
  void Scalar(const char* name, Handle* (*create)(), void (*destroy)(Handle*), int (*set)(Handle*, S),
              G (*get)(const Handle*), G (R::*get_cpp)() const) {
    Handle* record = create();
    const S value = std::is_same_v<S, bool> ? S(true) : static_cast<S>(++k_ + 3);
    EXPECT_EQ(set(record, value), 0) << name;
    EXPECT_EQ((reinterpret_cast<const R*>(record)->*get_cpp)(), static_cast<G>(value)) << name;
    EXPECT_EQ(get(record), static_cast<G>(value)) << name;
    EXPECT_EQ(set(nullptr, value), -1) << name;
    EXPECT_EQ(get(nullptr), G{}) << name;
    destroy(record);
  }
  template <class R, class Handle, class G, class S>
  void Converted(const char* name, Handle* (*create)(), void (*destroy)(Handle*), int (*set)(Handle*, S, int),
                 G (*get)(const Handle*), G (R::*get_cpp)() const) {
    Handle* record = create();
    const S value = static_cast<S>(++k_ + 3);  // whole millimetres: every conversion keeps them
    EXPECT_EQ(set(record, value, 0), 0) << name;
    EXPECT_EQ((reinterpret_cast<const R*>(record)->*get_cpp)(), static_cast<G>(value)) << name;
    EXPECT_EQ(get(record), static_cast<G>(value)) << name;
    destroy(record);
  }
  template <class R, class Handle>
  void Text(const char* name, Handle* (*create)(), void (*destroy)(Handle*), int (*set)(Handle*, const char*),
            int (*get)(const Handle*, char*, int), CString (R::*get_cpp)() const) {
    Handle* record = create();
    const std::string value = std::string(name) + std::to_string(++k_);
    EXPECT_EQ(set(record, value.c_str()), 0) << name;
    EXPECT_EQ((reinterpret_cast<const R*>(record)->*get_cpp)().str(), value) << name;
    char buffer[64];
    EXPECT_EQ(get(record, buffer, sizeof buffer), static_cast<int>(value.size())) << name;
    EXPECT_EQ(std::string(buffer), value) << name;
    EXPECT_EQ(set(record, nullptr), 0) << name << ": NULL is the empty string";
    EXPECT_EQ(get(record, buffer, sizeof buffer), 0) << name;
    destroy(record);
  }
  // `get_cpp` is the class's getter, called through the C element pointer.
  template <class Handle, class Elem, class CppGet>
  void Array(const char* name, int count, Handle* (*create)(), void (*destroy)(Handle*),
             int (*set)(Handle*, const Elem*), int (*get)(const Handle*, Elem*), CppGet get_cpp) {
    Handle* record = create();
    // No std::vector: vector<bool> has no element pointer.
    const std::unique_ptr<Elem[]> in(new Elem[count]()), via_cpp(new Elem[count]()), via_c(new Elem[count]());
    ++k_;
    for (int i = 0; i < count; ++i) {
      if constexpr (std::is_same_v<Elem, bool>) {
        in[i] = (i + k_) % 2 == 0;
      } else {
        in[i] = static_cast<Elem>(0x21 + (i * 7 + k_) % 90);
      }
    }
    EXPECT_EQ(set(record, in.get()), 0) << name;
    get_cpp(record, via_cpp.get());
    EXPECT_EQ(get(record, via_c.get()), 0) << name;
    EXPECT_TRUE(std::equal(in.get(), in.get() + count, via_cpp.get()))
        << name << ": the class holds what the C setter gave, to the last element";
    EXPECT_TRUE(std::equal(in.get(), in.get() + count, via_c.get())) << name;
    EXPECT_EQ(set(record, nullptr), -1) << name;
    EXPECT_EQ(get(record, nullptr), -1) << name;
    destroy(record);
  }
  int checked() const { return k_; }

 private:
  int k_ = 0;
};

TEST(CInterfaceFields, EveryFieldFunctionReachesItsOwnField) {
  FieldChecker check;
#define DRIVERWYR_C_SCALAR(R, Stem, G, S, Setter)                                                     \
  check.Scalar<R>(#R "." #Stem, &driverwyr_##R##_create, &driverwyr_##R##_free, &driverwyr_##R##_##Setter, \
                  &driverwyr_##R##_Get##Stem, &R::Get##Stem);
#define DRIVERWYR_C_CONVERTED(R, Stem, G, S, Setter)                                                  \
  check.Converted<R>(#R "." #Stem, &driverwyr_##R##_create, &driverwyr_##R##_free,                     \
                     &driverwyr_##R##_##Setter, &driverwyr_##R##_Get##Stem, &R::Get##Stem);
#define DRIVERWYR_C_STRING(R, Stem, Setter)                                                           \
  check.Text<R>(#R "." #Stem, &driverwyr_##R##_create, &driverwyr_##R##_free, &driverwyr_##R##_##Setter, \
                &driverwyr_##R##_Get##Stem, &R::Get##Stem);
#define DRIVERWYR_C_ARRAY(R, Stem, Elem, Rows, Inner, Setter)                                         \
  check.Array(#R "." #Stem, driverwyr_##R##_##Stem##_count, &driverwyr_##R##_create, &driverwyr_##R##_free, \
              &driverwyr_##R##_##Setter, &driverwyr_##R##_Get##Stem, [](driverwyr_##R* record, Elem* out) { \
                reinterpret_cast<const R*>(record)->Get##Stem(reinterpret_cast<Elem(*) Inner>(out));   \
              });
#define DRIVERWYR_C_FIELDLESS(R, Setter, SetType)
#include "driverwyr/driverwyr_c_fields.h"
#undef DRIVERWYR_C_SCALAR
#undef DRIVERWYR_C_CONVERTED
#undef DRIVERWYR_C_STRING
#undef DRIVERWYR_C_ARRAY
#undef DRIVERWYR_C_FIELDLESS
  EXPECT_GT(check.checked(), 150) << "every field of the five classes";
  EXPECT_EQ(driverwyr_CPPStepInfo_ToolID_count, 6 * 32);
  EXPECT_EQ(driverwyr_CPPMachine_UpBeamProfile_count, 32 * 64 * 3);
}

TEST(CInterfaceFields, DefaultsCopiesAndTheFieldlessSetter) {
  driverwyr_CPPStepInfo* step = driverwyr_CPPStepInfo_create();
  EXPECT_EQ(driverwyr_CPPStepInfo_GetODC(step), 251);
  EXPECT_EQ(driverwyr_CPPStepInfo_GetControlType(step), 2);
  driverwyr_CPPStepInfo_SetY1(step, 3.5f);
  driverwyr_CPPStepInfo_SetY2(step, 4.5f);
  driverwyr_CPPStepInfo_SetBendLength(step, 19.69f, 1);  // inch: 19.6 x 25.4 = 497.84, half up
  EXPECT_EQ(driverwyr_CPPStepInfo_GetBendLength(step), 498);
  driverwyr_CPPStepInfo* copy = driverwyr_CPPStepInfo_copy(step);
  EXPECT_EQ(driverwyr_CPPStepInfo_SetBendingDepth(step, 12.0f), 0);
  EXPECT_EQ(driverwyr_CPPStepInfo_GetY1(step), 0.0f);
  EXPECT_EQ(driverwyr_CPPStepInfo_GetY2(step), 0.0f);
  EXPECT_EQ(driverwyr_CPPStepInfo_GetY1(copy), 3.5f) << "a copy is a record of its own";
  EXPECT_EQ(driverwyr_CPPStepInfo_assign(step, copy), 0);
  EXPECT_EQ(driverwyr_CPPStepInfo_GetY2(step), 4.5f);
  EXPECT_EQ(driverwyr_CPPStepInfo_assign(step, nullptr), -1);
  EXPECT_EQ(driverwyr_CPPStepInfo_copy(nullptr), nullptr);
  driverwyr_CPPStepInfo_free(copy);
  driverwyr_CPPStepInfo_free(step);
  driverwyr_CPPStepInfo_free(nullptr);
}

// ---- strings out -----------------------------------------------------------------

TEST(CInterfaceStrings, LengthIsWholeCopyIsCutAndAlwaysTerminated) {
  driverwyr_CPPTool* tool = driverwyr_CPPTool_create();
  driverwyr_CPPTool_SetToolName(tool, "PUNCH88");
  const struct {
    int size;
    const char* shown;
  } cases[] = {{64, "PUNCH88"}, {8, "PUNCH88"}, {7, "PUNCH8"}, {2, "P"}, {1, ""}};
  for (const auto& c : cases) {
    char buffer[65];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(driverwyr_CPPTool_GetToolName(tool, buffer, c.size), 7) << c.size;
    EXPECT_STREQ(buffer, c.shown) << c.size;
    EXPECT_EQ(buffer[c.size], 'x') << c.size << ": nothing past the buffer";
  }
  char untouched = 'x';
  EXPECT_EQ(driverwyr_CPPTool_GetToolName(tool, &untouched, 0), 7) << "size 0 asks for the length";
  EXPECT_EQ(untouched, 'x');
  EXPECT_EQ(driverwyr_CPPTool_GetToolName(tool, nullptr, 100), 7);
  // A counted text with a NUL inside comes out whole.
  reinterpret_cast<CPPTool*>(tool)->SetToolName(CString("AB\0CD", 5));
  char buffer[8];
  EXPECT_EQ(driverwyr_CPPTool_GetToolName(tool, buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 6), std::string("AB\0CD\0", 6));
  char empty[4] = "xyz";
  EXPECT_EQ(driverwyr_CPPTool_GetToolName(nullptr, empty, sizeof empty), -1);
  EXPECT_STREQ(empty, "");
  driverwyr_CPPTool_free(tool);
}

TEST(CInterfaceStrings, MessageTextsAreTheDriversOwn) {
  char buffer[128];
  const std::string created = GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED).str();
  EXPECT_EQ(driverwyr_GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED, buffer, sizeof buffer),
            static_cast<int>(created.size()));
  EXPECT_EQ(buffer, created);
  EXPECT_EQ(driverwyr_GetMessageText(4711, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
}

// ---- arrays, entry points and the store -------------------------------------------

TEST(CInterfaceArrays, AddAtSetSizeAndBorrowedRecords) {
  driverwyr_CPPSetup_array* setups = driverwyr_CPPSetup_array_create();
  driverwyr_CPPSetup* setup = driverwyr_CPPSetup_create();
  for (int i = 0; i < 3; ++i) {
    driverwyr_CPPSetup_SetSetupIndex(setup, i);
    EXPECT_EQ(driverwyr_CPPSetup_array_add(setups, setup), i);
  }
  driverwyr_CPPSetup_free(setup);  // the array holds copies
  EXPECT_EQ(driverwyr_CPPSetup_array_size(setups), 3);
  driverwyr_CPPSetup_SetSetupName(driverwyr_CPPSetup_array_at(setups, 1), "in place");
  char name[16];
  driverwyr_CPPSetup_GetSetupName(driverwyr_CPPSetup_array_at(setups, 1), name, sizeof name);
  EXPECT_STREQ(name, "in place");
  EXPECT_EQ(driverwyr_CPPSetup_GetSetupIndex(driverwyr_CPPSetup_array_at(setups, 2)), 2);
  for (int index : {-1, 3, 1 << 30}) EXPECT_EQ(driverwyr_CPPSetup_array_at(setups, index), nullptr) << index;
  EXPECT_EQ(driverwyr_CPPSetup_array_set_size(setups, 5), 0);
  EXPECT_EQ(driverwyr_CPPSetup_GetControlType(driverwyr_CPPSetup_array_at(setups, 4)), 2) << "a default record";
  EXPECT_EQ(driverwyr_CPPSetup_array_set_size(setups, 0), 0);
  EXPECT_EQ(driverwyr_CPPSetup_array_size(setups), 0);
  EXPECT_EQ(driverwyr_CPPSetup_array_add(nullptr, nullptr), -1);
  EXPECT_EQ(driverwyr_CPPSetup_array_size(nullptr), 0);
  driverwyr_CPPSetup_array_free(setups);
}

TEST(CInterfaceEntryPoints, TheStoreHoldsWhatTheCEntryPointsGave) {
  testing::CreationEnvironment env;
  driverwyr_SetUnit(1);
  driverwyr_SetPathNames("out/PART.bmf", "materials", nullptr);
  driverwyr_SetMaterial_2(0.1f, 40.0f, "Aluminium");
  driverwyr_CPPStepInfo_array* steps = driverwyr_CPPStepInfo_array_create();
  driverwyr_CPPStepInfo_array_set_size(steps, 2);
  driverwyr_CPPStepInfo_SetBendAngle(driverwyr_CPPStepInfo_array_at(steps, 1), 88.0f);
  driverwyr_InitPPSequence(steps);
  driverwyr_CPPStepInfo_array_free(steps);  // the store keeps its own copies
  driverwyr_InitToolInfo(nullptr);

  int id = 0;
  driverwyr_GetDriverID(&id);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(driverwyr_CreatePPDBInstance(), 1);
  driverwyr_store_copy* copy = driverwyr_CopyStore();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(driverwyr_store_copy_unit(copy), 1);
  char path[32];
  EXPECT_EQ(driverwyr_store_copy_program_path(copy, path, sizeof path), 12);
  EXPECT_STREQ(path, "out/PART.bmf");
  EXPECT_EQ(driverwyr_store_copy_conversion_path(copy, path, sizeof path), 0);
  EXPECT_FLOAT_EQ(driverwyr_store_copy_material_thickness(copy), 2.54f);
  EXPECT_EQ(driverwyr_store_copy_material_type(copy), 3);
  EXPECT_EQ(driverwyr_CPPStepInfo_array_size(driverwyr_store_copy_steps(copy)), 2);
  EXPECT_EQ(driverwyr_CPPStepInfo_GetBendAngle(driverwyr_CPPStepInfo_array_at(driverwyr_store_copy_steps(copy), 1)),
            88.0f);
  EXPECT_EQ(driverwyr_CPPTool_array_size(driverwyr_store_copy_tools(copy)), 0);
  driverwyr_store_copy_free(copy);
  driverwyr_DestroyPPDBInstance();
  copy = driverwyr_CopyStore();
  EXPECT_EQ(driverwyr_CPPStepInfo_array_size(driverwyr_store_copy_steps(copy)), 0);
  driverwyr_store_copy_free(copy);
  EXPECT_EQ(driverwyr_store_copy_steps(nullptr), nullptr);
}

// ---- a run through C callbacks -----------------------------------------------------

// A host's dialog in C terms whose window is an in-memory window: every
// callback of driverwyr_window forwards to it, and the operator presses
// "Create..." (or "Cancel").
struct CallbackHost {
  bool create = true;
  std::vector<std::string> messages;
  int dialogs = 0;

  static DialogWindow& W(void* user) { return *static_cast<DialogWindow*>(user); }
  static driverwyr_window WindowOf(DialogWindow& window) {
    driverwyr_window w{};
    w.user = &window;
    w.get_control_text = [](void* u, int id, driverwyr_text* t) { driverwyr_text_set(t, W(u).GetControlText(id).c_str()); };
    w.set_control_text = [](void* u, int id, const char* text) { W(u).SetControlText(id, text); };
    w.set_text_limit = [](void* u, int id, int n) { W(u).SetTextLimit(id, n); };
    w.show_control = [](void* u, int id, int visible) { W(u).ShowControl(id, visible != 0); };
    w.focus_control = [](void* u, int id) { W(u).FocusControl(id); };
    w.clear_combo_box = [](void* u, int id) { W(u).ClearComboBox(id); };
    w.insert_combo_entry = [](void* u, int id, int index, const char* text) { W(u).InsertComboEntry(id, index, text); };
    w.select_combo_entry = [](void* u, int id, const char* prefix) { return W(u).SelectComboEntry(id, prefix); };
    w.get_combo_selection = [](void* u, int id) { return W(u).GetComboSelection(id); };
    w.get_combo_entry = [](void* u, int id, int index, driverwyr_text* t) {
      driverwyr_text_set(t, W(u).GetComboEntry(id, index).c_str());
    };
    w.show_validation_message = [](void* u, int id, const char* text) { W(u).ShowValidationMessage(id, text); };
    w.end_dialog = [](void* u, int result) { W(u).EndDialog(result); };
    return w;
  }

  // Turns the C dialog handle into a handler of the in-memory window.
  class Proxy final : public DialogHandler {
   public:
    explicit Proxy(driverwyr_dialog* dialog) : dialog_(dialog) {}
    bool OnInitDialog(DialogWindow& window) override {
      const driverwyr_window w = WindowOf(window);
      return driverwyr_dialog_init(dialog_, &w) == 1;
    }
    void OnCommand(DialogWindow& window, int id, int notification) override {
      const driverwyr_window w = WindowOf(window);
      driverwyr_dialog_command(dialog_, &w, id, notification);
    }

   private:
    driverwyr_dialog* dialog_;
  };

  driverwyr_user_interface Ui() {
    driverwyr_user_interface ui{};
    ui.user = this;
    ui.show_message_box = [](void* u, const char* text, unsigned) {
      static_cast<CallbackHost*>(u)->messages.push_back(text);
      return DRIVERWYR_ID_OK;
    };
    ui.run_dialog = [](void* u, int template_id, driverwyr_dialog* dialog) {
      auto* host = static_cast<CallbackHost*>(u);
      ++host->dialogs;
      Proxy proxy(dialog);
      MemoryDialogWindow window(template_id, proxy);
      window.Open();
      window.Press(host->create ? DRIVERWYR_ID_OK : DRIVERWYR_ID_CANCEL);
      return window.Result();
    };
    ui.browse_for_folder = [](void*, const driverwyr_window*, const char*, const char*, driverwyr_text*) { return 0; };
    return ui;
  }
};

class CInterfaceRunTest : public ::testing::Test {
 protected:
  testing::CreationEnvironment env;
  const fs::path folder = fs::temp_directory_path() / "driverwyr_c_interface_run_test";

  void SetUp() override {
    fs::remove_all(folder);
    fs::create_directories(folder);
    env.AddSetup(0, 2);
    env.AddSteps({1, 1});
    env.Store().ProgramPath = (folder / "PART.bmf").string();
    env.Store().MaterialType = 1;
    env.Store().MaterialThickness = 2.0f;
  }
  void TearDown() override {
    driverwyr_SetUserInterface(nullptr);
    driverwyr_SetClock(nullptr);
    fs::remove_all(folder);
  }
  // The one program file of the group, named after the program number.
  fs::path ProgramFile() const {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() == ".wyr") return entry.path();
    }
    return folder / "none.wyr";
  }
  // The steps' setup values are lowered by every run: give them back.
  void ResetSteps() {
    for (int i = 0; i < env.Store().StepArray.GetSize(); ++i) env.Store().StepArray[i].SetSetupIndex(1);
  }
  std::string Program() const {
    std::ifstream in(ProgramFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(CInterfaceRunTest, CallbacksWriteTheProgramTheInMemoryWindowWrites) {
  env.ui.on_dialog = [](MemoryDialogWindow& window) { window.Press(kIdOk); };
  char path[16];
  std::string expected_path = (folder / "PART.bmf").string();
  ASSERT_TRUE(GenerateMachineCodeFile(std::vector<char>(kMaxPathBuffer).data()));
  const std::string in_memory = Program();
  ASSERT_FALSE(in_memory.empty());
  const fs::path program_file = ProgramFile();
  fs::remove(program_file);
  env.settings.keys[testing::kSerialKeyPath].clear();
  ResetSteps();

  CallbackHost host;
  const driverwyr_user_interface ui = host.Ui();
  ASSERT_EQ(driverwyr_SetUserInterface(&ui), 0);
  // The C clock tells the dates the platform's clock told the first run.
  env.clock.utc = env.clock.local = CalendarDate{2001, 1, 1};
  driverwyr_clock clock{nullptr, [](void*, driverwyr_date* d) { *d = {2026, 12, 7}; },
                        [](void*, driverwyr_date* d) { *d = {2026, 12, 7}; }};
  ASSERT_EQ(driverwyr_SetClock(&clock), 0);
  const int length = driverwyr_GenerateMachineCodeFile(path, sizeof path);
  EXPECT_EQ(length, static_cast<int>(expected_path.size())) << "the whole length of the program path";
  EXPECT_EQ(std::string(path), expected_path.substr(0, sizeof path - 1));
  EXPECT_EQ(host.dialogs, 1);
  EXPECT_THAT(host.messages, ::testing::ElementsAre(GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED).str()));
  EXPECT_EQ(driverwyr_GetWrittenProgramCount(), 1);
  char written[512];
  EXPECT_EQ(driverwyr_GetWrittenProgramPath(0, written, sizeof written),
            static_cast<int>(program_file.string().size()));
  EXPECT_EQ(fs::path(written), program_file) << "the same program number from the C clock";
  EXPECT_EQ(driverwyr_GetWrittenProgramPath(1, written, sizeof written), -1);
  EXPECT_TRUE(Program() == in_memory) << "the same program, byte for byte";
}

TEST_F(CInterfaceRunTest, ADryRunShowsTheDialogButWritesNothing) {
  CallbackHost host;
  const driverwyr_user_interface ui = host.Ui();
  ASSERT_EQ(driverwyr_SetUserInterface(&ui), 0);
  driverwyr_SetDryRun(1);
  char path[512];
  driverwyr_GenerateMachineCodeFile(path, sizeof path);
  driverwyr_SetDryRun(0);
  EXPECT_EQ(host.dialogs, 1);
  EXPECT_FALSE(fs::exists(ProgramFile())) << "no program file";
  EXPECT_EQ(driverwyr_GetCalculatedStepCount(), 0) << "the steps keep their depth (Mode 1)";
  driverwyr_calculated_step step{};
  EXPECT_EQ(driverwyr_GetCalculatedStep(0, &step), -1);
  EXPECT_EQ(driverwyr_GetCalculatedStep(0, nullptr), -1);
}

TEST_F(CInterfaceRunTest, ACancelledDialogCopiesNothing) {
  CallbackHost host;
  host.create = false;
  const driverwyr_user_interface ui = host.Ui();
  ASSERT_EQ(driverwyr_SetUserInterface(&ui), 0);
  char path[8] = "xxxxxxx";
  EXPECT_EQ(driverwyr_GenerateMachineCodeFile(path, sizeof path), -1);
  EXPECT_STREQ(path, "xxxxxxx");
  EXPECT_EQ(driverwyr_GetWrittenProgramCount(), 0);
  EXPECT_TRUE(host.messages.empty());
}

TEST(CInterfaceCallbacks, IncompleteStructsAreRefusedAndTheDialogFunctionsCheckTheirArguments) {
  driverwyr_user_interface ui{};
  EXPECT_EQ(driverwyr_SetUserInterface(&ui), -1);
  driverwyr_clock clock{};
  clock.utc_today = [](void*, driverwyr_date*) {};
  EXPECT_EQ(driverwyr_SetClock(&clock), -1);
  EXPECT_EQ(driverwyr_dialog_init(nullptr, nullptr), -1);
  EXPECT_EQ(driverwyr_dialog_command(nullptr, nullptr, DRIVERWYR_ID_OK, DRIVERWYR_BN_CLICKED), -1);
  EXPECT_EQ(driverwyr_text_set(nullptr, "x"), -1);
  EXPECT_EQ(driverwyr_SetUserInterface(nullptr), 0);
  EXPECT_EQ(driverwyr_SetClock(nullptr), 0);
}

}  // namespace
}  // namespace driverwyr
