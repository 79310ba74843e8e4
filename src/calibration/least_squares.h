// Linear least squares for the model fits, with a rank-revealing solver.
//
// The design matrix has one row per bend and one column per coefficient (the
// constant first). Solving goes through a column-pivoting Householder QR, so
// a column the rows cannot determine is found instead of producing wild
// coefficients. Leave-one-out residuals come from the diagonal of the hat
// matrix: for bend i, e_i / (1 - h_ii) is its residual under the fit made
// without it, at the cost of one fit.
#ifndef DRIVERWYR_CALIBRATION_LEAST_SQUARES_H_
#define DRIVERWYR_CALIBRATION_LEAST_SQUARES_H_

#include <vector>

namespace driverwyr::calibration {

// A design matrix, row-major: rows x columns values.
struct Design {
  int rows = 0;
  int columns = 0;
  std::vector<double> values;
  double& at(int row, int column) {
    return values[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column)];
  }
  double at(int row, int column) const {
    return values[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column)];
  }
};

struct LeastSquaresFit {
  std::vector<double> coefficients;  // one per column
  std::vector<double> residuals;     // observed - fitted, per row
  // Leave-one-out residuals per row; NaN where the row alone determines a
  // coefficient (h_ii = 1), so no fit without it can predict it.
  std::vector<double> loo_residuals;
  int rank = 0;
  double condition = 0.0;  // largest / smallest singular value
};

// The rank of `design` as the pivoting QR reveals it.
int DesignRank(const Design& design);

// The columns (indices) that add nothing to the rank of the columns before
// them: the ones the rows cannot determine. Empty when the design has full
// column rank.
std::vector<int> UndeterminedColumns(const Design& design);

// Fits `observed` (one value per row). The design must have full column rank
// (check with UndeterminedColumns first).
LeastSquaresFit SolveLeastSquares(const Design& design, const std::vector<double>& observed);

// The root mean square of the finite values; infinity when any is not finite
// (a leave-one-out residual that cannot be had), 0 for none.
double RootMeanSquare(const std::vector<double>& values);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_LEAST_SQUARES_H_
