// The pre-flight report and the set-up sheet through the C interface.
#include <string>

#include "capi/c_support.h"
#include "driverwyr/preflight.h"
#include "driverwyr/sheet.h"

using driverwyr::capi::CopyOut;
using driverwyr::capi::Failed;
using driverwyr::capi::Guarded;
using driverwyr::capi::NullArgument;
using driverwyr::capi::SetLastError;

struct driverwyr_preflight_report {
  driverwyr::PreflightReport report;
  std::string json;  // made once, when first asked for
};

extern "C" {

DRIVERWYR_API driverwyr_preflight_report* DRIVERWYR_CALL driverwyr_RunPreflight(int material_given) {
  return Guarded<driverwyr_preflight_report*>(nullptr, [material_given] {
    auto* made = new driverwyr_preflight_report;
    driverwyr::PreflightOptions options;
    options.material_given = material_given != 0;
    std::string why_not;
    if (!driverwyr::RunPreflight(made->report, options, &why_not)) {
      delete made;
      SetLastError({"the pre-flight was not run: ", why_not});
      return static_cast<driverwyr_preflight_report*>(nullptr);
    }
    return made;
  });
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_preflight_report_free(driverwyr_preflight_report* report) {
  delete report;
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_preflight_report_size(const driverwyr_preflight_report* report) {
  return report != nullptr ? static_cast<int>(report->report.findings.size()) : 0;
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_preflight_report_count(const driverwyr_preflight_report* report,
                                                                 int severity) {
  if (report == nullptr || severity < DRIVERWYR_SEVERITY_ERROR || severity > DRIVERWYR_SEVERITY_NOTE) return 0;
  return report->report.Count(static_cast<driverwyr::Severity>(severity));
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_preflight_report_finding(const driverwyr_preflight_report* report,
                                                                   int index, driverwyr_finding* out) {
  if (report == nullptr || out == nullptr) return NullArgument(__func__);
  if (index < 0 || static_cast<std::size_t>(index) >= report->report.findings.size()) {
    return Failed({__func__, ": no finding of that index in the report"});
  }
  const driverwyr::Finding& finding = report->report.findings[static_cast<std::size_t>(index)];
  out->severity = static_cast<int>(finding.severity);
  out->group = finding.group;
  out->step = finding.step;
  out->number = finding.step >= 0 ? finding.number : 0;
  out->code = finding.code.c_str();
  out->category = finding.category.c_str();
  out->record = finding.record.c_str();
  out->text = finding.message.c_str();
  return 0;
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_preflight_report_json(const driverwyr_preflight_report* report,
                                                                char* buffer, int size) {
  if (report == nullptr) return NullArgument(__func__);
  return Guarded(-1, [&] { return CopyOut(driverwyr::PreflightReportJson(report->report), buffer, size); });
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_WriteSheet(const char* program_path, const char* sheet_path,
                                                     const char* records_label, char* why_not, int size) {
  // Every failure gives its reason both in why_not and as the last error.
  const auto fail = [&](int result, const std::string& why) {
    CopyOut(why, why_not, size);
    SetLastError({why});
    return result;
  };
  return Guarded(-1, [&] {
    if (program_path == nullptr || sheet_path == nullptr) {
      return fail(-1, "no program path or no sheet path given");
    }
    driverwyr::StoreCopy records;
    driverwyr::SheetOptions options;
    if (records_label != nullptr) {
      if (!driverwyr::CopyRunRecords(records)) return fail(-1, "the driver's store could not be read");
      options.records = &records;
      options.records_label = records_label;
    }
    driverwyr::SheetError error;
    if (driverwyr::WriteSheet(program_path, sheet_path, options, &error)) {
      CopyOut("", why_not, size);
      return 0;
    }
    switch (error.failure) {
      case driverwyr::SheetFailure::kProgramFile:
        return fail(DRIVERWYR_SHEET_PROGRAM_FILE, std::string(program_path) + ": " + error.message);
      case driverwyr::SheetFailure::kRecords:
        return fail(DRIVERWYR_SHEET_RECORDS, std::string(records_label) + ": " + error.message);
      case driverwyr::SheetFailure::kSheetFile:
        return fail(DRIVERWYR_SHEET_SHEET_FILE, std::string(sheet_path) + ": " + error.message);
      default:
        return fail(-1, error.message);
    }
  });
}

}  // extern "C"
