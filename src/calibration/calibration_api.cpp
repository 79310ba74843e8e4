// The public face of the material fit (driverwyr/calibration.h): the files
// go through the platform's file role, and nothing is thrown to the caller.
#include <exception>
#include <new>
#include <string>

#include "calibration/fit_material.h"
#include "calibration/report_model.h"
#include "driverwyr/calibration.h"

namespace driverwyr::calibration {
namespace {

bool Fail(std::string* why_not, const std::string& message) {
  if (why_not != nullptr) *why_not = message;
  return false;
}

// Runs `body`, turning what it throws (memory running out, in the linear
// algebra or the strings) into a failure.
template <typename Body>
bool Guard(std::string* why_not, Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return Fail(why_not, "out of memory");
  } catch (const std::exception& e) {
    return Fail(why_not, e.what());
  }
}

template <typename Render>
std::string RenderGuarded(Render render) {
  try {
    return render();
  } catch (const std::exception&) {
    return std::string();
  }
}

}  // namespace

bool FitMaterial(const FitRequest& request, FitOutcome* out, std::string* why_not) {
  return Guard(why_not, [&] {
    if (out == nullptr) return Fail(why_not, "no place for the outcome");
    Result<FitOutcome> fitted = FitMaterialFiles(DefaultFileSystem(), request);
    if (!fitted.ok()) return Fail(why_not, fitted.error());
    *out = std::move(*fitted);
    return true;
  });
}

std::string FitReportText(const FitReport& report) {
  return RenderGuarded([&] { return ReportText(report); });
}
std::string FitReportJson(const FitReport& report) {
  return RenderGuarded([&] { return ReportJson(report); });
}
std::string FitReportHtml(const FitReport& report) {
  return RenderGuarded([&] { return ReportHtml(report); });
}

bool WriteFittedMaterial(const FitRequest& request, const FitOutcome& outcome, const std::string& new_path,
                         bool force, std::string* why_not) {
  return Guard(why_not, [&] {
    const Status written = WriteFittedMaterialFile(DefaultFileSystem(), request, outcome, new_path, force);
    return written.ok() || Fail(why_not, written.message());
  });
}

bool WriteFitText(const std::string& path, const std::string& text, std::string* why_not) {
  return Guard(why_not, [&] {
    const Status written = ReplaceFileContents(DefaultFileSystem(), path, text).WithContext(path);
    return written.ok() || Fail(why_not, written.message());
  });
}

}  // namespace driverwyr::calibration
