// Calibrating a material data file from test bends.
//
// A shop bends test pieces with programs made from a material data file,
// measures the angles they came out at, and lists them in a CSV file. For
// each bend, the springback the model should have predicted is
//
//   measured angle - target angle + springback of the file at (target, V/t)
//
// and the springback polynomial is fitted to these values by least squares.
// When the bends carry a measured inner radius, the inner-radius polynomial
// (log10 of inner radius / thickness) is fitted the same way. The other two
// models are copied unchanged. The result is a complete new material data
// file, the readable description that `wyr material build` turns into the
// same file, and a report of how well the old and the new model explain the
// bends (docs/material-file.md describes the CSV, the fit and the report).
//
// This is a C++ interface: use it only from a host built with the same
// toolchain as the library (see driverwyr/host.h). Nothing is thrown across
// it: a function that can fail returns false and says why in *why_not.
// Nothing here keeps state; the functions may be called from any thread.
#ifndef DRIVERWYR_CALIBRATION_H_
#define DRIVERWYR_CALIBRATION_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driverwyr/export.h"

namespace driverwyr {
namespace calibration {

// The unit of the lengths in a test-bend file (angles are always degrees).
enum class LengthUnit { kMillimetre, kInch };

// One row of a test-bend file, with lengths in millimetres.
struct TestBend {
  int line = 0;                 // line in the CSV file, from 1 (the header)
  double thickness = 0.0;       // t
  double die_width = 0.0;       // V
  double target_angle = 0.0;    // the angle the program was made for; 180 is flat
  double measured_angle = 0.0;  // the angle measured after springback
  std::optional<double> inner_radius;  // measured inner radius
  std::optional<double> die_radius;
  std::optional<double> die_angle;
  std::string program, step, lot, note;  // carried into the report only
};

// What to fit.
struct FitRequest {
  std::string material_path;  // the file the test bends were programmed with
  std::string bends_path;     // the CSV file of test bends
  LengthUnit unit = LengthUnit::kMillimetre;
  // Empty: each model keeps the term codes the file has. "auto": up to ten
  // of the twenty term codes, chosen by leave-one-out cross-validation.
  // Otherwise a comma-separated list of term names ("T,C,T*C").
  std::string terms;
  // Leave out the bends marked as outliers and fit again.
  bool drop_outliers = false;
};

// One term of a polynomial model.
struct FitTerm {
  int code = 0;          // 2..21
  std::string name;      // "T", "T^2*C", ...
  double coefficient = 0.0;
};

// A polynomial model, old or new.
struct FitPolynomial {
  bool polynomial = false;  // false: the file's model is a grid or none
  double constant = 0.0;
  std::vector<FitTerm> terms;
};

// One bend in the report. Springback values are degrees; inner-radius values
// are log10 of inner radius / thickness. "after" comes from the fit made
// without this bend (leave-one-out), so that a bend cannot flatter itself;
// it is NaN when no fit without the bend can predict it.
struct FitBendRow {
  TestBend bend;
  double ratio = 0.0;             // V / t
  bool extrapolated = false;      // V/t outside 4..20
  double springback_measured = 0.0;
  double springback_before = 0.0;  // the old model
  double springback_after = 0.0;
  double residual_before = 0.0;    // measured - before
  double residual_after = 0.0;     // measured - after
  std::optional<double> radius_measured, radius_before, radius_after;
  bool outlier = false;  // |residual after| above three times its RMS
  bool dropped = false;  // left out of the final fit (--drop-outliers)
};

// How one model was fitted.
struct FitModelReport {
  std::string model;        // "springback" or "inner radius"
  std::string term_choice;  // "file", "given" or "auto"
  FitPolynomial before, after;
  int bends_used = 0;
  double rms_before = 0.0, largest_before = 0.0;  // residuals of the old model
  double rms_after = 0.0, largest_after = 0.0;    // leave-one-out residuals of the new one
  double rms_fit = 0.0;                           // the new model on the bends it was fitted to
  int rank = 0;                                   // of the least-squares problem
  double condition = 0.0;  // largest / smallest singular value of the design matrix
};

// The bends of one V/t ratio (rounded to 0.1).
struct FitDomainRow {
  double ratio = 0.0;
  double lowest_angle = 0.0, highest_angle = 0.0;
  int bends = 0;
};

// The springback of the old and the new model along one V/t ratio.
struct FitCurve {
  double ratio = 0.0;
  std::vector<double> angles, before, after;
};

struct FitReport {
  std::string material_path, bends_path;
  LengthUnit unit = LengthUnit::kMillimetre;
  std::vector<FitBendRow> bends;
  FitModelReport springback;
  std::optional<FitModelReport> inner_radius;  // when bends carry inner_radius
  double lowest_angle = 0.0, highest_angle = 0.0;  // covered by the bends
  double lowest_ratio = 0.0, highest_ratio = 0.0;
  std::vector<FitDomainRow> domain;
  std::vector<FitCurve> curves;      // at the lowest, middle and highest covered ratio
  int outliers = 0;
  bool outliers_dropped = false;
  std::vector<std::string> notes;    // where the new model extrapolates, and similar
};

struct FitOutcome {
  FitReport report;
  std::vector<std::uint8_t> material;  // the new material data file
  std::string description;             // its readable description (JSON)
};

// Reads the material file and the bends and fits. Returns false, with the
// reason in *why_not, when a file cannot be read or is malformed (naming the
// CSV line and column), or when the bends cannot be fitted: fewer bends than
// terms + 2, terms the bends cannot determine (named), or a fitted model
// whose values leave the float range. Nothing is written.
DRIVERWYR_API bool FitMaterial(const FitRequest& request, FitOutcome* out, std::string* why_not);

// The report as plain text, as one JSON object, and as a self-contained,
// printable HTML page with SVG plots.
DRIVERWYR_API std::string FitReportText(const FitReport& report);
DRIVERWYR_API std::string FitReportJson(const FitReport& report);
DRIVERWYR_API std::string FitReportHtml(const FitReport& report);

// Writes the new material file to `new_path`, replacing it in one step
// (readers see the old contents or the new, never a part). Unless `force`,
// refuses to write over the file the fit started from or over any existing
// file. Returns false with the reason in *why_not; nothing is changed then.
DRIVERWYR_API bool WriteFittedMaterial(const FitRequest& request, const FitOutcome& outcome,
                                       const std::string& new_path, bool force, std::string* why_not);

// Replaces the file `path` with `text` in one step (descriptions, reports).
DRIVERWYR_API bool WriteFitText(const std::string& path, const std::string& text, std::string* why_not);

}  // namespace calibration
}  // namespace driverwyr

#endif  // DRIVERWYR_CALIBRATION_H_
