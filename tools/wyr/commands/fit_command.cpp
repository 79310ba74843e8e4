// wyr material fit FILE --bends BENDS.csv -o NEW: a material data file
// calibrated from test bends. The fit and its report are the library's
// (driverwyr/calibration.h); this command reads the options, calls it,
// prints the report and has the files written.
#include <fmt/format.h>

#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "driverwyr/calibration.h"

namespace wyr {
namespace {

namespace cal = driverwyr::calibration;

struct FitOptions {
  std::string file, bends, output, description, report, terms, unit = "mm";
  bool json = false;
  bool drop_outliers = false;
  bool force = false;
};

int RunFit(const FitOptions& options) {
  cal::FitRequest request;
  request.material_path = options.file;
  request.bends_path = options.bends;
  request.unit = options.unit == "inch" ? cal::LengthUnit::kInch : cal::LengthUnit::kMillimetre;
  request.terms = options.terms;
  request.drop_outliers = options.drop_outliers;

  cal::FitOutcome outcome;
  std::string why_not;
  if (!cal::FitMaterial(request, &outcome, &why_not)) {
    fmt::print(stderr, "wyr material fit: {}\nnothing was written\n", why_not);
    return kExitInvalid;
  }
  // The material file first: it is the one refused when it exists.
  if (!cal::WriteFittedMaterial(request, outcome, options.output, options.force, &why_not)) {
    fmt::print(stderr, "wyr material fit: {}\nnothing was written\n", why_not);
    return options.force ? kExitFailed : kExitInvalid;
  }
  std::string written = fmt::format("{}: {} bytes", options.output, outcome.material.size());
  const struct {
    const std::string& path;
    std::string text;
  } extras[] = {{options.description, options.description.empty() ? "" : outcome.description},
                {options.report, options.report.empty() ? "" : cal::FitReportHtml(outcome.report)}};
  for (const auto& extra : extras) {
    if (extra.path.empty()) continue;
    if (extra.text.empty() || !cal::WriteFitText(extra.path, extra.text, &why_not)) {
      fmt::print(stderr, "wyr material fit: {}\n{} was written, this file was not\n",
                 extra.text.empty() ? extra.path + ": the text could not be made" : why_not, options.output);
      return kExitFailed;
    }
    written += fmt::format(", {}", extra.path);
  }
  const std::string report = options.json ? cal::FitReportJson(outcome.report) : cal::FitReportText(outcome.report);
  fmt::print("{}", report);
  if (!options.json) fmt::print("\nwritten: {}\n", written);
  if (report.empty() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    fmt::print(stderr, "wyr material fit: the report could not be written to standard output ({} was written)\n",
               options.output);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

void AddMaterialFitCommand(CLI::App& material, int& status) {
  auto options = std::make_shared<FitOptions>();
  CLI::App* fit = material.add_subcommand("fit", "calibrate a material data file from measured test bends");
  fit->add_option("FILE", options->file, "the material data file the test bends were programmed with")->required();
  fit->add_option("--bends", options->bends, "the test bends (CSV)")->required();
  fit->add_option("-o,--output", options->output, "the new material data file")->required();
  fit->add_option("--description", options->description, "also write the new file's description (JSON)");
  fit->add_option("--report", options->report, "also write the report as an HTML page");
  fit->add_option("--terms", options->terms, "\"auto\", or term names such as T,C,T*C (default: the file's)");
  fit->add_option("--unit", options->unit, "unit of the lengths in the CSV file")
      ->check(CLI::IsMember({"mm", "inch"}));
  fit->add_flag("--drop-outliers", options->drop_outliers, "fit again without the bends marked as outliers");
  fit->add_flag("--json", options->json, "print the report as JSON");
  fit->add_flag("--force", options->force, "write over FILE or an existing output file");
  fit->callback([options, &status] { status = RunFit(*options); });
}

}  // namespace wyr
