// The fit of a material data file to test bends, on values already read:
// what FitMaterial and WriteFittedMaterial of driverwyr/calibration.h do
// after and before the files.
#ifndef DRIVERWYR_CALIBRATION_FIT_MATERIAL_H_
#define DRIVERWYR_CALIBRATION_FIT_MATERIAL_H_

#include <string>
#include <string_view>
#include <vector>

#include "driverwyr/calibration.h"
#include "driverwyr/files.h"
#include "driverwyr/material_data.h"
#include "driverwyr/result.h"

namespace driverwyr::calibration {

// Bends outside this V/t range are used, and marked as extrapolated: the
// calculation continues every model along a straight line there.
inline constexpr double kLowestFitRatio = 4.0;
inline constexpr double kHighestFitRatio = 20.0;

// A bend's residual after the fit above this many times the RMS marks it as
// an outlier.
inline constexpr double kOutlierFactor = 3.0;

// Fits `file` to `bends` as `request` asks (its terms and drop_outliers;
// the paths only go into the report). The new file's bytes and description
// are in the outcome.
Result<FitOutcome> FitMaterialData(const MaterialFile& file, const std::vector<TestBend>& bends,
                                   const FitRequest& request);

// Reads both files of `request` through `files` and fits.
Result<FitOutcome> FitMaterialFiles(FileSystem& files, const FitRequest& request);

// Writes outcome.material to `new_path` through `files`, refusing (unless
// `force`) the file the fit started from and any existing file.
Status WriteFittedMaterialFile(FileSystem& files, const FitRequest& request, const FitOutcome& outcome,
                               const std::string& new_path, bool force);

// The readable description of `file` that `wyr material build` turns into
// the same bytes (with separators 0), with `material` and `notes` texts.
std::string DescribeMaterial(const MaterialFile& file, std::string_view material, std::string_view notes);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_FIT_MATERIAL_H_
