// The set-up sheet of a program file, for hosts: read, matched to the
// records, rendered and written.
#include "driverwyr/sheet.h"

#include <exception>
#include <filesystem>
#include <new>

#include "driver/ppdb.h"
#include "driverwyr/program_format.h"
#include "platform/platform.h"
#include "sheet/sheet_html.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_job.h"

namespace driverwyr {
namespace {

bool Failed(SheetError* error, SheetFailure failure, std::string message) {
  if (error != nullptr) *error = SheetError{failure, std::move(message)};
  return false;
}

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

bool Render(const std::string& program_path, const SheetOptions& options, std::string& html, SheetError* error) {
  const Result<ProgramFile> file = ReadProgramFile(program_path);
  if (!file.ok()) return Failed(error, SheetFailure::kProgramFile, file.error());
  sheet::SheetInput input = sheet::MakeSheetInput(*file, FileNameOf(program_path));
  if (options.records != nullptr) {
    const Status added = sheet::AddJobToSheet(input, *options.records, program_path, options.records_label);
    if (!added.ok()) return Failed(error, SheetFailure::kRecords, added.message());
  }
  html = sheet::RenderSheetHtml(input);
  return true;
}

}  // namespace

bool RenderSheet(const std::string& program_path, const SheetOptions& options, std::string& html,
                 SheetError* error) {
  try {
    return Render(program_path, options, html, error);
  } catch (const std::bad_alloc&) {
    return Failed(error, SheetFailure::kMemory, "memory is exhausted");
  }
}

bool WriteSheet(const std::string& program_path, const std::string& sheet_path, const SheetOptions& options,
                SheetError* error) {
  try {
    std::string html;
    if (!Render(program_path, options, html, error)) return false;
    const Status written = ReplaceFileContents(Platform::Current().Files(), sheet_path, html);
    if (!written.ok()) return Failed(error, SheetFailure::kSheetFile, written.message());
    return true;
  } catch (const std::bad_alloc&) {
    return Failed(error, SheetFailure::kMemory, "memory is exhausted");
  }
}

bool CopyRunRecords(StoreCopy& out) {
  if (!CopyStore(out)) return false;
  const PPDB* store = GetPPDBInstance();
  if (store == nullptr || !store->StepsLowered) return true;
  // Undoes the run's lowering, wrapping as the records' 32-bit arithmetic
  // does.
  for (int i = 0; i < out.steps.GetSize(); ++i) {
    out.steps[i].SetSetupIndex(static_cast<int>(static_cast<unsigned>(out.steps[i].GetSetupIndex()) + 1u));
  }
  return true;
}

}  // namespace driverwyr
