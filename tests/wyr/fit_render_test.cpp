// The material fit report as a browser shows it: headless Chromium renders
// the page that `wyr material fit --report` writes, ImageMagick measures the
// PNG, and a probe script reads where the charts lie. The PNG stays in
// RENDER_OUTPUT_DIR to be looked at.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "render_support.h"
#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr int kWidth = 900;

constexpr const char* kProbe = R"(<script>
(() => {
  const rect = e => { const b = e.getBoundingClientRect(); return {x: b.left + 2, y: b.top + 24, w: b.width - 4, h: b.height - 28}; };
  const out = {height: document.documentElement.scrollHeight,
               plots: [...document.querySelectorAll('svg.plot')].map(rect),
               points: document.querySelectorAll('svg.plot circle').length,
               rows: document.querySelectorAll('table.bends tr').length};
  const pre = document.createElement('pre');
  pre.id = 'probe';
  pre.textContent = JSON.stringify(out);
  document.body.appendChild(pre);
})();
</script>)";

TEST(FitRenderTest, ReportPageRendersWithChartsThatAreNotBlank) {
  const fs::path work = fs::path(RENDER_OUTPUT_DIR) / "fit";
  fs::remove_all(work);
  fs::create_directories(work);
  // 24 bends on four dies, about a degree more springback than f_1 says.
  std::string csv = "thickness,die_width,target_angle,measured_angle,lot\n";
  int i = 0;
  for (double die : {12.0, 16.0, 24.0, 32.0}) {
    for (double angle : {60.0, 75.0, 90.0, 110.0, 130.0, 150.0}) {
      const double wobble = 0.1 * std::sin(i++ * 1.7);
      csv += std::to_string(2.0) + "," + std::to_string(die) + "," + std::to_string(angle) + "," +
             std::to_string(angle + 0.9 + 0.004 * (150 - angle) + wobble) + ",LOT-7\n";
    }
  }
  WriteFile(work / "bends.csv", csv);
  const fs::path page = work / "report.html";
  const WyrResult fit = RunWyr({"material", "fit", (fs::path(EXAMPLES_DIR) / "materials" / "f_1").string(), "--bends",
                                (work / "bends.csv").string(), "-o", (work / "f_1.new").string(), "--report",
                                page.string()});
  ASSERT_EQ(fit.status, 0) << fit.out << fit.err;

  std::string probed = ReadFile(page);
  probed.insert(probed.rfind("</body>"), kProbe);
  WriteFile(work / "probe.html", probed);
  const WyrResult dom = Chromium(work, work / "probe.html", {"--window-size=" + std::to_string(kWidth) + ",1200", "--dump-dom"});
  std::smatch match;
  static const std::regex kPre(R"(<pre id="probe">([^<]*)</pre>)");
  ASSERT_TRUE(dom.status == 0 && std::regex_search(dom.out, match, kPre)) << dom.err;
  const json probe = json::parse(match[1].str());
  ASSERT_EQ(probe["plots"].size(), 3u);
  EXPECT_EQ(probe["points"].get<int>(), 2 * (2 * 24 + 2)) << "two residual charts: before and after for every bend, two legend marks";
  EXPECT_EQ(probe["rows"].get<int>(), 24 + 1);

  const int height = probe["height"].get<int>();
  const fs::path png = work / "fit-report.png";
  const WyrResult shot = Chromium(work, page, {"--window-size=" + std::to_string(kWidth) + "," + std::to_string(height),
                                               "--screenshot=" + png.string()});
  ASSERT_EQ(shot.status, 0) << shot.err;
  EXPECT_EQ(Measure(png, "%w %h"), std::to_string(kWidth) + " " + std::to_string(height));
  EXPECT_GT(fs::file_size(png), 40000u) << "a page of tables and charts";
  for (const json& plot : probe["plots"]) {
    EXPECT_GT(Variation(png, plot), 0.05) << "a blank chart at " << plot.dump();
  }
}

}  // namespace
}  // namespace wyr_test
