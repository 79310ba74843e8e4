// Fuzzes the test-bend CSV reader and the material fit on what it reads: the
// reader must never read outside the data, and a fit of any bends it accepts
// must either refuse with a message or give finite numbers and a file the
// material reader takes back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calibration/fit_material.h"
#include "calibration/report_model.h"
#include "calibration/test_bends.h"
#include "driverwyr/material_data.h"

namespace {

driverwyr::MaterialFile StartingFile() {
  driverwyr::MaterialFile file;
  driverwyr::MaterialModel& springback = file.models[driverwyr::kSpringback];
  springback.form = driverwyr::kFormPolynomial;
  springback.term_count = 2;
  springback.term_codes[0] = 2;  // T
  springback.term_codes[1] = 7;  // C
  springback.coefficients = {1.5f, -1.5f, 0.75f};
  file.models[driverwyr::kInnerRadius] = springback;
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the unit and the term choice.
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  using namespace driverwyr::calibration;
  const auto bends = ParseTestBends(text, (flags & 1) != 0 ? LengthUnit::kInch : LengthUnit::kMillimetre);
  if (!bends.ok()) {
    if (bends.error().empty()) std::abort();
    return 0;
  }
  FitRequest request;
  request.terms = (flags & 2) != 0 ? "auto" : "";
  request.drop_outliers = (flags & 4) != 0;
  const auto fit = FitMaterialData(StartingFile(), *bends, request);
  if (!fit.ok()) {
    if (fit.error().empty()) std::abort();
    return 0;
  }
  if (!driverwyr::ParseMaterialFile(fit->material).ok()) std::abort();
  if (!std::isfinite(fit->report.springback.rms_fit)) std::abort();
  if (ReportText(fit->report).empty() || ReportJson(fit->report).empty() || ReportHtml(fit->report).empty()) {
    std::abort();
  }
  return 0;
}
