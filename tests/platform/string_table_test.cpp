// The string table: every message of resources/messages.inc reaches a host
// through driverwyr::GetMessageText with exactly its text, from the default
// table of the platform (the DLL's resources on Windows) as from the built-in
// one, and ids the table does not hold give the empty string.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "driverwyr/dialog.h"
#include "driverwyr/host.h"
#include "platform/platform.h"

namespace driverwyr {
namespace {

const std::vector<std::pair<int, std::string>>& ListedMessages() {
  static const std::vector<std::pair<int, std::string>> kMessages = {
#define DRIVERWYR_MESSAGE(id, text) {id, text},
#include "messages.inc"
#undef DRIVERWYR_MESSAGE
  };
  return kMessages;
}

TEST(StringTable, EveryListedMessageHasItsTextInEveryTableAndThroughTheHostApi) {
  const auto builtin = MakeBuiltinStringTable();
  const auto platform_default = MakeDefaultStringTable();
  ASSERT_EQ(ListedMessages().size(), 25u) << "51006, 51008, 51010 and 51015 to 51036";
  for (const auto& [id, text] : ListedMessages()) {
    EXPECT_FALSE(text.empty()) << id;
    EXPECT_EQ(builtin->LoadText(id), text) << id;
    EXPECT_EQ(platform_default->LoadText(id), text) << id << " (the platform's own table)";
    EXPECT_EQ(GetMessageText(id).str(), text) << id;
  }
}

TEST(StringTable, NamedIdsGiveTheTextsHostsCompareWith) {
  const struct {
    int id;
    const char* text;
  } cases[] = {
      {DRIVERWYR_MSG_OPEN_FILE_FAILS, "Open file fails!"},
      {DRIVERWYR_MSG_PROGRAM_CREATED,
       "The program is created, you can now use Linvaro to send it to the control."},
      {DRIVERWYR_MSG_CREATE_FAILED, "program created failed !"},
      {DRIVERWYR_MSG_STEP_NOTE, "Please note: [for step number: %d]"},
      {DRIVERWYR_MSG_SELECT_FOLDER, "Select Folder:"},
      {DRIVERWYR_MSG_DIE_NOT_IN_TOOL_LIST, "The die is not in the tool list."},
      {DRIVERWYR_MSG_BEYOND_MACHINE, "The calculated depth or force is beyond what the machine can take"},
      {DRIVERWYR_MSG_PROGRAM_NOT_WRITTEN, "The program file could not be written: %1"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetMessageText(c.id).str(), c.text) << c.id;
}

TEST(StringTable, IdsOutsideTheTableGiveTheEmptyString) {
  for (int id : {0, -1, 1, DRIVERWYR_IDC_PROGRAM_NAME, 51005, 51007, 51009, 51014, 51037, 65535, 1 << 30}) {
    EXPECT_EQ(GetMessageText(id).GetLength(), 0) << id;
  }
}

}  // namespace
}  // namespace driverwyr
