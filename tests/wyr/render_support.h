// Rendering pages with headless Chromium and measuring the PNGs with
// ImageMagick, for the tests that look at what a person sees (the set-up
// sheet, the material fit report). Chromium, ImageMagick and timeout(1) come
// from CHROMIUM_PATH, CONVERT_PATH and TIMEOUT_PATH.
#ifndef DRIVERWYR_TESTS_WYR_RENDER_SUPPORT_H_
#define DRIVERWYR_TESTS_WYR_RENDER_SUPPORT_H_

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "wyr_runner.h"

namespace wyr_test {

// Longest a single Chromium run may take; it starts in a second or two.
inline constexpr const char* kChromiumSeconds = "60";

// Runs Chromium headless on `page` with `args`, bounded by the timeout, each
// time with a new empty profile under `work`. A run the timeout had to stop
// is a test failure.
WyrResult Chromium(const std::filesystem::path& work, const std::filesystem::path& page,
                   const std::vector<std::string>& args);

// ImageMagick's answer (`format`, e.g. "%w %h") about a PNG, or about the
// part `crop` ("WxH+X+Y") of it, in grey.
std::string Measure(const std::filesystem::path& png, const std::string& format, const std::string& crop = "");

// How much the grey levels of an area ({x, y, w, h} in pixels) of the PNG
// vary: 0 for a blank area.
double Variation(const std::filesystem::path& png, const nlohmann::json& area);

}  // namespace wyr_test

#endif  // DRIVERWYR_TESTS_WYR_RENDER_SUPPORT_H_
