#include "calibration/report_plot.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "calibration/report_numbers.h"

namespace driverwyr::calibration {
namespace {

constexpr double kWidth = 360, kHeight = 230;
constexpr double kLeft = 48, kRight = 12, kTop = 26, kBottom = 40;

struct Axis {
  double low = 0, high = 1, step = 0.5;
};

// Round tick steps (1, 2 or 5 times a power of ten) over [low, high].
Axis NiceAxis(double low, double high) {
  if (!(high > low)) {
    const double pad = std::max(std::fabs(low) * 0.1, 0.5);
    low -= pad;
    high += pad;
  }
  const double raw = (high - low) / 5.0;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * power;
    if (step >= raw) break;
  }
  return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

std::string Tick(double value, double step) {
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  return Fixed(value, decimals);
}

}  // namespace

std::string SvgPlot(const std::string& title, const std::string& x_label, const std::string& y_label,
                    const std::vector<PlotSeries>& series) {
  double x_low = INFINITY, x_high = -INFINITY, y_low = 0, y_high = 0;
  for (const PlotSeries& s : series) {
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
      if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) continue;
      x_low = std::min(x_low, s.x[i]);
      x_high = std::max(x_high, s.x[i]);
      y_low = std::min(y_low, s.y[i]);
      y_high = std::max(y_high, s.y[i]);
    }
  }
  if (!std::isfinite(x_low)) x_low = x_high = 0;
  const Axis xa = NiceAxis(x_low, x_high), ya = NiceAxis(y_low, y_high);
  const double plot_w = kWidth - kLeft - kRight, plot_h = kHeight - kTop - kBottom;
  const auto px = [&](double x) { return kLeft + (x - xa.low) / (xa.high - xa.low) * plot_w; };
  const auto py = [&](double y) { return kTop + (ya.high - y) / (ya.high - ya.low) * plot_h; };

  std::string out;
  auto put = std::back_inserter(out);
  fmt::format_to(put, "<svg class=\"plot\" viewBox=\"0 0 {} {}\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\">",
                 kWidth, kHeight);
  fmt::format_to(put, "<title>{}</title><text class=\"title\" x=\"{}\" y=\"14\">{}</text>", EscapeHtml(title), kLeft,
                 EscapeHtml(title));
  fmt::format_to(put, "<rect class=\"frame\" x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\"/>", kLeft, kTop, plot_w,
                 plot_h);
  for (double x = xa.low; x <= xa.high + xa.step / 2; x += xa.step) {
    fmt::format_to(put, "<line class=\"grid\" x1=\"{0:.2f}\" x2=\"{0:.2f}\" y1=\"{1}\" y2=\"{2}\"/>", px(x), kTop,
                   kTop + plot_h);
    fmt::format_to(put, "<text class=\"tick\" x=\"{:.2f}\" y=\"{}\" text-anchor=\"middle\">{}</text>", px(x),
                   kTop + plot_h + 13, Tick(x, xa.step));
  }
  for (double y = ya.low; y <= ya.high + ya.step / 2; y += ya.step) {
    fmt::format_to(put, "<line class=\"grid\" x1=\"{0}\" x2=\"{1}\" y1=\"{2:.2f}\" y2=\"{2:.2f}\"/>", kLeft,
                   kLeft + plot_w, py(y));
    fmt::format_to(put, "<text class=\"tick\" x=\"{}\" y=\"{:.2f}\" text-anchor=\"end\">{}</text>", kLeft - 4,
                   py(y) + 3, Tick(y, ya.step));
  }
  if (ya.low < 0 && ya.high > 0) {
    fmt::format_to(put, "<line class=\"zero\" x1=\"{0}\" x2=\"{1}\" y1=\"{2:.2f}\" y2=\"{2:.2f}\"/>", kLeft,
                   kLeft + plot_w, py(0));
  }
  fmt::format_to(put, "<text class=\"label\" x=\"{}\" y=\"{}\" text-anchor=\"middle\">{}</text>", kLeft + plot_w / 2,
                 kHeight - 8, EscapeHtml(x_label));
  fmt::format_to(put,
                 "<text class=\"label\" transform=\"translate(11 {}) rotate(-90)\" text-anchor=\"middle\">{}</text>",
                 kTop + plot_h / 2, EscapeHtml(y_label));
  double legend_x = kLeft + plot_w;
  for (auto s = series.rbegin(); s != series.rend(); ++s) {
    if (s->label.empty()) continue;
    legend_x -= 8.0 + 5.5 * static_cast<double>(s->label.size()) + 14.0;
    fmt::format_to(put, "<g class=\"legend {}\">", s->css_class);
    if (s->line) {
      fmt::format_to(put, "<line x1=\"{0}\" x2=\"{1}\" y1=\"18\" y2=\"18\"/>", legend_x, legend_x + 10);
    } else {
      fmt::format_to(put, "<circle cx=\"{}\" cy=\"18\" r=\"2.5\"/>", legend_x + 5);
    }
    fmt::format_to(put, "<text x=\"{}\" y=\"21\">{}</text></g>", legend_x + 13, EscapeHtml(s->label));
  }
  for (const PlotSeries& s : series) {
    fmt::format_to(put, "<g class=\"series {}\">", s.css_class);
    std::string points;
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
      if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) continue;
      if (s.line) {
        fmt::format_to(std::back_inserter(points), "{:.2f},{:.2f} ", px(s.x[i]), py(s.y[i]));
      } else {
        fmt::format_to(put, "<circle cx=\"{:.2f}\" cy=\"{:.2f}\" r=\"2.5\"/>", px(s.x[i]), py(s.y[i]));
      }
    }
    if (s.line) fmt::format_to(put, "<polyline points=\"{}\"/>", points);
    out += "</g>";
  }
  out += "</svg>";
  return out;
}

}  // namespace driverwyr::calibration
