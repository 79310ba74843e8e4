// Fuzzes the material data file reader and the calculation on what it reads:
// the reader must never read outside the data, a file it accepts must encode
// back to the same bytes, and the calculation must end with finite values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "bending/bend_calculator.h"
#include "driverwyr/material_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto parse = driverwyr::ParseMaterialFile(bytes);
  if (!parse.ok()) return 0;

  std::array<std::vector<std::uint16_t>, driverwyr::kModelCount> separators;
  for (std::size_t i = 0; i < separators.size(); ++i) separators[i] = parse->layout[i].separators;
  const std::vector<std::uint8_t> again = driverwyr::EncodeMaterialFile(parse->file, &separators);
  if (again.size() != parse->used || std::memcmp(again.data(), data, again.size()) != 0) std::abort();

  driverwyr::BendCalculator calculator("", 1, parse->file);
  for (const float angle : {10.0f, 20.0f, 90.0f, 135.5f, 175.0f, 180.0f}) {
    for (const float die_width : {0.0f, 6.0f, 16.0f, 50.0f}) {
      for (const auto& model : parse->file.models) {
        (void)driverwyr::EvaluateModel(model, angle, die_width, 2.0f);
      }
      driverwyr::ToolData tool;
      tool.MaterialNumber = 1;
      tool.Thickness = 2;
      tool.DieWidth = die_width;
      tool.DieAngle = 88;
      tool.DieRadius = 2;
      tool.BendLengthM = 1;
      tool.Hardness = 40;
      tool.BendAngle = angle;
      driverwyr::MachineData machine;
      machine.MaxForce = 1000;
      machine.MinForce = 10;
      machine.MaxBendingLength = 3000;
      machine.BendingCoefficient = 1;
      machine.PunchLoadLimit = 1000;
      machine.DieLoadLimit = 1000;
      driverwyr::BendResult result;
      driverwyr::WarningList warnings{};
      calculator.Calculate(tool, machine, result, warnings);
      if (!std::isfinite(result.Depth) || !std::isfinite(result.Force)) std::abort();
    }
  }
  return 0;
}
