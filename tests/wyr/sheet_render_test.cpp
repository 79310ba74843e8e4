// The set-up sheets of the example job as a browser shows and prints them:
// headless Chromium renders them to PNG and PDF, ImageMagick measures the
// PNG, and a probe script run in a copy of the page reads back where the
// drawings lie and the geometry of what they show. The PNGs stay in
// RENDER_OUTPUT_DIR to be looked at.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <numbers>
#include <regex>
#include <string>
#include <vector>

#include "render_support.h"
#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr int kWindowWidth = 900;
// Drawn coordinates carry four decimals.
constexpr double kNear = 1.5e-4;

const fs::path kWork = RENDER_OUTPUT_DIR;

// What the probe reads from the rendered page: where the page and each
// drawing's views lie (CSS pixels) and the drawn geometry (model millimetres,
// the SVG's own coordinates).
constexpr const char* kProbe = R"(<script>
(() => {
  const rect = e => { const b = e.getBoundingClientRect(); return {x: b.left, y: b.top, w: b.width, h: b.height}; };
  const box = e => { if (!e) return null; const b = e.getBBox(); return {x: b.x, y: b.y, w: b.width, h: b.height}; };
  const point = c => ({x: c.cx.baseVal.value, y: c.cy.baseVal.value});
  const out = {width: document.documentElement.scrollWidth, height: document.documentElement.scrollHeight, steps: []};
  for (const svg of document.querySelectorAll('svg.step-drawing')) {
    const view = n => svg.querySelector('.view.' + n);
    const step = {views: {}};
    for (const n of ['die', 'side', 'plan']) step.views[n] = rect(view(n).querySelector('rect.frame'));
    const tip = view('die').querySelector('circle.tip');
    step.tip = tip ? point(tip) : null;
    step.punch = box(view('die').querySelector('.punch'));
    step.die = box(view('die').querySelector('.die-v'));
    step.sheet = box(view('die').querySelector('.sheet'));
    step.side = [...view('side').querySelectorAll('circle.finger-point')].map(point);
    step.plan = [...view('plan').querySelectorAll('circle.finger-point')].map(point);
    out.steps.push(step);
  }
  const note = rect(document.querySelector('.footnote'));
  const page = rect(document.querySelector('.page'));
  out.blank = {x: page.x + 40, y: note.y + note.h + 20, w: page.w - 80, h: 120};
  const pre = document.createElement('pre');
  pre.id = 'probe';
  pre.textContent = JSON.stringify(out);
  document.body.appendChild(pre);
})();
</script>)";

json Probe(const fs::path& sheet) {
  std::string page = ReadFile(sheet);
  const std::size_t end = page.rfind("</body>");
  if (end == std::string::npos) return nullptr;
  page.insert(end, kProbe);
  const fs::path probed = kWork / (sheet.stem().string() + ".probe.html");
  WriteFile(probed, page);
  const WyrResult dom = Chromium(kWork, probed, {"--window-size=" + std::to_string(kWindowWidth) + ",1200", "--dump-dom"});
  std::smatch match;
  static const std::regex kPre(R"(<pre id="probe">([^<]*)</pre>)");
  if (dom.status != 0 || !std::regex_search(dom.out, match, kPre)) {
    ADD_FAILURE() << "the probe found nothing: status " << dom.status << "\n" << dom.err;
    return nullptr;
  }
  return json::parse(match[1].str());
}

// A view's drawing area: its frame without the border and the title line.
json Inside(const json& frame) {
  return {{"x", frame["x"].get<double>() + 3}, {"y", frame["y"].get<double>() + 16},
          {"w", frame["w"].get<double>() - 6}, {"h", frame["h"].get<double>() - 34}};
}

class SheetRenderTest : public ::testing::Test {
 protected:
  // The example job run once, with its sheets, for all tests.
  static void SetUpTestSuite() {
    fs::remove_all(kWork);
    fs::create_directories(kWork);
    CopyExample(kWork / "job");
    fs::create_directories(kWork / "job" / "many");
    // A job of 17 steps in one group: three pages of drawings.
    json many = json::parse(ReadFile(kWork / "job" / "bracket.json"));
    json steps = json::array();
    for (int i = 0; i < 17; ++i) {
      json step = many["steps"][i % 2];
      step["SequenceOrder"] = step["NumberInSquence"] = i + 1;
      step["BendAngle"] = 90 + (i * 5) % 80;
      steps.push_back(step);
    }
    many["steps"] = steps;
    many["paths"]["program"] = "many/MANY.bmf";
    many["setups"].erase(1);
    WriteFile(kWork / "job" / "many.json", many.dump());
    for (const char* job : {"bracket.json", "many.json"}) {
      const WyrResult run = RunWyr({"run", (kWork / "job" / job).string(), "--now", "2026-12-07T10:00:00Z", "--sheet",
                                    (kWork / "sheets").string()},
                                   {{"XDG_CONFIG_HOME", (kWork / "config").string()}, {"TZ", "UTC"}});
      ASSERT_EQ(run.status, 0) << run.out << run.err;
    }
  }

  static fs::path Sheet(const char* name) { return kWork / "sheets" / (std::string(name) + ".html"); }
  static json Dump(const char* name) {
    const WyrResult dump = RunWyr({"dump", (kWork / "job" / "out" / (std::string(name) + ".wyr")).string(), "--json"});
    EXPECT_EQ(dump.status, 0) << dump.err;
    return json::parse(dump.out);
  }
};

TEST_F(SheetRenderTest, ExampleSheetRendersWithDrawingsThatAreNotBlank) {
  const fs::path sheet = Sheet("BRACKET.S1P1");
  const json probe = Probe(sheet);
  ASSERT_TRUE(probe.is_object());
  ASSERT_EQ(probe["steps"].size(), 2u);
  const int height = probe["height"].get<int>();
  ASSERT_GT(height, 1000) << "an A4 page is 1123 pixels high";

  const fs::path png = kWork / "BRACKET.S1P1.png";
  const WyrResult shot = Chromium(kWork,
      sheet, {"--window-size=" + std::to_string(kWindowWidth) + "," + std::to_string(height),
              "--screenshot=" + png.string()});
  ASSERT_EQ(shot.status, 0) << shot.err;
  EXPECT_EQ(Measure(png, "%w %h"), std::to_string(kWindowWidth) + " " + std::to_string(height));
  EXPECT_GT(fs::file_size(png), 40000u) << "a page of text and drawings";

  for (const json& step : probe["steps"]) {
    for (const char* view : {"die", "side", "plan"}) {
      EXPECT_GT(Variation(png, Inside(step["views"][view])), 0.08) << view << " view is blank";
    }
  }
  // The measure tells an empty stretch of the page from a drawing.
  EXPECT_LT(Variation(png, probe["blank"]), 0.01);
}

TEST_F(SheetRenderTest, RenderedGeometryIsThatOfTheRecordsAndTheDies) {
  const json job = json::parse(ReadFile(kWork / "job" / "bracket.json"));
  for (const char* name : {"BRACKET.S1P1", "BRACKET.S2P2"}) {
    SCOPED_TRACE(name);
    const json probe = Probe(Sheet(name));
    const json dump = Dump(name);
    ASSERT_TRUE(probe.is_object());
    const double t = dump["header"]["Thickness"];
    const json& records = dump["records"];
    ASSERT_EQ(probe["steps"].size(), records.size() - 1) << "every record but the closing one";
    const int first_step = std::string(name) == "BRACKET.S1P1" ? 0 : 2;
    for (std::size_t i = 0; i < probe["steps"].size(); ++i) {
      SCOPED_TRACE("step " + std::to_string(i + 1));
      const json& drawn = probe["steps"][i];
      const json& record = records[i];
      // The punch tip: the record's depth below the top of the flat sheet.
      const double tip = t + record["Y1"].get<double>();
      EXPECT_NEAR(drawn["tip"]["x"].get<double>(), 0.0, kNear);
      EXPECT_NEAR(drawn["tip"]["y"].get<double>(), tip, kNear);
      EXPECT_NEAR(drawn["punch"]["y"].get<double>(), tip, kNear) << "the punch's lowest point is its tip";
      EXPECT_NEAR(drawn["punch"]["x"].get<double>() + drawn["punch"]["w"].get<double>() / 2, 0.0, kNear);
      EXPECT_NEAR(drawn["sheet"]["y"].get<double>(), tip - t, kNear) << "the sheet's underside below the tip";

      // The die's V from the job's tool record: shoulders at +-W, bottom at
      // -V/2 / tan(angle/2).
      const std::string die_name = job["steps"][first_step + static_cast<int>(i)]["ToolID"][1];
      json die;
      for (const json& tool : job["tools"]) {
        if (tool["ToolName"] == die_name) die = tool;
      }
      const double v = die["VWidth"], radius = die["Radius"], angle = die["Angle"];
      const double degree = std::numbers::pi / 180.0;
      const double w = v / 2 + radius * std::tan((180.0 - angle) / 4 * degree);
      const double bottom = -v / 2 / std::tan(angle / 2 * degree);
      EXPECT_NEAR(drawn["die"]["x"].get<double>(), -w, kNear);
      EXPECT_NEAR(drawn["die"]["w"].get<double>(), 2 * w, 2 * kNear);
      EXPECT_NEAR(drawn["die"]["y"].get<double>(), bottom, kNear);
      EXPECT_NEAR(drawn["die"]["y"].get<double>() + drawn["die"]["h"].get<double>(), 0.0, kNear);

      // Fingers: X behind the bend line (finger 1's X is stored inverted), R
      // up in the side view, Z along the bend line in the plan view.
      const double x1 = -record["XX0"].get<double>(), x2 = record["XX1"].get<double>();
      ASSERT_GE(drawn["side"].size(), 1u);
      EXPECT_NEAR(drawn["side"][0]["x"].get<double>(), x1, kNear);
      EXPECT_NEAR(drawn["side"][0]["y"].get<double>(), record["YY0"].get<double>(), kNear);
      ASSERT_EQ(drawn["plan"].size(), 2u);
      EXPECT_NEAR(drawn["plan"][0]["x"].get<double>(), record["ZZ0"].get<double>(), kNear);
      EXPECT_NEAR(drawn["plan"][0]["y"].get<double>(), x1, kNear);
      EXPECT_NEAR(drawn["plan"][1]["x"].get<double>(), record["ZZ1"].get<double>(), kNear);
      EXPECT_NEAR(drawn["plan"][1]["y"].get<double>(), x2, kNear);
    }
  }
}

TEST_F(SheetRenderTest, PrintsEightStepsAPageOnA4) {
  const struct {
    const char* sheet;
    int pages;
  } cases[] = {{"BRACKET.S1P1", 1}, {"MANY", 3}};  // 17 steps: 8, 8, then 1 with the table
  for (const auto& c : cases) {
    const fs::path pdf = kWork / (std::string(c.sheet) + ".pdf");
    const WyrResult print = Chromium(kWork, Sheet(c.sheet), {"--no-pdf-header-footer", "--print-to-pdf=" + pdf.string()});
    ASSERT_EQ(print.status, 0) << print.err;
    std::smatch match;
    const std::string bytes = ReadFile(pdf);
    static const std::regex kCount(R"(/Type\s*/Pages[^>]*/Count\s+(\d+))");
    ASSERT_TRUE(std::regex_search(bytes, match, kCount)) << c.sheet;
    EXPECT_EQ(std::stoi(match[1].str()), c.pages) << c.sheet;
  }
}

}  // namespace
}  // namespace wyr_test
