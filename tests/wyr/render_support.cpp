#include "render_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wyr_test {

namespace fs = std::filesystem;

WyrResult Chromium(const fs::path& work, const fs::path& page, const std::vector<std::string>& args) {
  static int runs = 0;
  const fs::path profile = work / ("profile-" + std::to_string(++runs));
  fs::remove_all(profile);
  fs::create_directories(profile);
  std::vector<std::string> argv = {TIMEOUT_PATH, kChromiumSeconds, CHROMIUM_PATH, "--headless", "--no-sandbox",
                                   "--disable-gpu", "--disable-quic", "--no-first-run",
                                   "--disable-background-networking", "--disable-component-update",
                                   "--disable-sync", "--hide-scrollbars", "--user-data-dir=" + profile.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back("file://" + fs::absolute(page).string());
  WyrResult result = RunProgram(argv);
  fs::remove_all(profile);
  // timeout(1) answers 124 when it had to stop the program.
  if (result.status == 124) ADD_FAILURE() << "Chromium did not finish within " << kChromiumSeconds << " seconds";
  return result;
}

std::string Measure(const fs::path& png, const std::string& format, const std::string& crop) {
  std::vector<std::string> argv = {CONVERT_PATH, png.string()};
  if (!crop.empty()) argv.insert(argv.end(), {"-crop", crop, "+repage"});
  argv.insert(argv.end(), {"-colorspace", "Gray", "-format", format, "info:"});
  const WyrResult result = RunProgram(argv);
  EXPECT_EQ(result.status, 0) << result.err;
  return result.out;
}

double Variation(const fs::path& png, const nlohmann::json& area) {
  const auto px = [&](const char* key) { return static_cast<long>(std::lround(area[key].get<double>())); };
  const std::string crop = std::to_string(px("w")) + "x" + std::to_string(px("h")) + "+" +
                           std::to_string(px("x")) + "+" + std::to_string(px("y"));
  return std::stod(Measure(png, "%[fx:standard_deviation]", crop));
}

}  // namespace wyr_test
