// Small SVG charts for the fit report: points and lines over two axes.
#ifndef DRIVERWYR_CALIBRATION_REPORT_PLOT_H_
#define DRIVERWYR_CALIBRATION_REPORT_PLOT_H_

#include <string>
#include <vector>

namespace driverwyr::calibration {

struct PlotSeries {
  std::string css_class;  // styles the marks: "before", "after", "old", "new"
  std::string label;      // the legend's text
  bool line = false;      // a polyline; otherwise points
  std::vector<double> x, y;  // non-finite points are left out
};

// A chart of `series` with axes fitted to their points (and to y = 0),
// labelled ticks and a legend, as an inline <svg class="plot"> element.
std::string SvgPlot(const std::string& title, const std::string& x_label, const std::string& y_label,
                    const std::vector<PlotSeries>& series);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_REPORT_PLOT_H_
