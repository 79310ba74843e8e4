// The set-up sheet of whatever program file decodes: every value a record
// can hold (NaN, infinities, the limits of each field) must give a page,
// with or without a job, and nothing from the file may reach the page as
// markup.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "driverwyr/host.h"
#include "driverwyr/program_format.h"
#include "sheet/sheet_html.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_job.h"

namespace {

// Two steps of one setup on one machine, with a punch and a die: a program
// whose records carry SequenceOrder 1 and 2 and BendLength 500 matches it.
const driverwyr::StoreCopy& ExampleJob() {
  static driverwyr::StoreCopy* job = [] {
    auto* made = new driverwyr::StoreCopy;
    made->steps.SetSize(2);
    for (int i = 0; i < 2; ++i) {
      CPPStepInfo& step = made->steps[i];
      step.SetSetupIndex(1);
      step.SetSequenceOrder(static_cast<short>(i + 1));
      step.SetBendLength(500.0f, 0);
      char ids[6][32] = {};
      std::strcpy(ids[0], "P88");
      std::strcpy(ids[1], "D16");
      step.SetToolID(ids);
    }
    made->setups.SetSize(1);
    made->setups[0].SetUserMachineName("PB100");
    made->machines.SetSize(1);
    made->machines[0].SetUserMachineName("PB100");
    made->machines[0].SetTonnage(100);
    made->machines[0].SetMinTonnage(1);
    made->tools.SetSize(2);
    made->tools[0].SetToolName("P88");
    made->tools[0].SetAngle(88);
    made->tools[0].SetRadius(0.8);
    made->tools[0].SetPunchResistance(100);
    made->tools[1].SetToolName("D16");
    made->tools[1].SetVWidth(16);
    made->tools[1].SetRadius(2.5);
    made->tools[1].SetAngle(88);
    made->tools[1].SetDieResistance(120);
    return made;
  }();
  return *job;
}

std::size_t Tags(const std::string& page) { return static_cast<std::size_t>(std::count(page.begin(), page.end(), '<')); }

// The page of the same file with every text of its header empty: escaped
// texts add no markup, so both pages have the same number of tags.
std::size_t TagsWithoutTexts(driverwyr::ProgramFile file) {
  driverwyr::ProgramHeader& h = file.header;
  for (std::string* text : {&h.ProgramName, &h.PartReference, &h.MaterialName, &h.ControlPunchName,
                            &h.ControlDieName, &h.ControlDieHolderName, &h.ControlSpacerName}) {
    text->clear();
  }
  h.PunchRev = h.DieHolderRev = h.DieRev = 'x';
  return Tags(driverwyr::sheet::RenderSheetHtml(driverwyr::sheet::MakeSheetInput(file, "P.wyr")));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  driverwyr::ProgramFile file;
  if (!driverwyr::DecodeProgramFile(bytes, file).ok()) return 0;

  driverwyr::sheet::SheetInput sheet = driverwyr::sheet::MakeSheetInput(file, "P.wyr");
  const std::string alone = driverwyr::sheet::RenderSheetHtml(sheet);
  if (Tags(alone) != TagsWithoutTexts(file)) std::abort();
  if (driverwyr::sheet::AddJobToSheet(sheet, ExampleJob(), "P.wyr", "job.json").ok()) {
    if (driverwyr::sheet::RenderSheetHtml(sheet).empty()) std::abort();
  }
  return 0;
}
