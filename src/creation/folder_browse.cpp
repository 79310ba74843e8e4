// The "..." button: moves the program file, and the store's program path, into
// a folder the operator chooses.
#include <optional>
#include <string>

#include "creation/creation_internal.h"
#include "creation/program_creation_dialog.h"
#include "platform/platform.h"
#include "util/text.h"

namespace driverwyr {

void ProgramCreationDialog::OnBrowseFolder(DialogWindow& window) {
  // What the operator typed so far is kept; a failed check has shown its
  // message, and the browser opens all the same.
  DoDataExchange(window, true);

  const std::string file_name(TrimRight(data_.FileName));
  const std::size_t separator = file_name.rfind(kPathSeparator);
  const std::size_t name_start = separator == std::string::npos ? 0 : separator + 1;
  directory_ = file_name.substr(0, name_start);
  const std::string name = file_name.substr(name_start);

  const std::optional<std::string> folder =
      Platform::Current().Ui().BrowseForFolder(window, LoadMessageText(kMessageSelectFolder), directory_);
  if (!folder) return;  // cancelled
  if (folder->empty()) {
    ShowMessage("Folder name chosen is not valid.", kMessageOk);
    return;
  }
  // The folder is joined as it comes: a root that already ends in a
  // separator gives two in a row.
  data_.FileName = *folder + kPathSeparator + name;
  store_->ProgramPath = *folder + kPathSeparator + base_name_ + ".bmf";
  DoDataExchange(window, false);
}

}  // namespace driverwyr
