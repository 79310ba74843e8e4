#include "calibration/least_squares.h"

#include <Eigen/Dense>
#include <cmath>
#include <limits>

namespace driverwyr::calibration {
namespace {

Eigen::MatrixXd ToMatrix(const Design& design) {
  Eigen::MatrixXd matrix(design.rows, design.columns);
  for (int r = 0; r < design.rows; ++r) {
    for (int c = 0; c < design.columns; ++c) matrix(r, c) = design.at(r, c);
  }
  return matrix;
}

// The rank threshold: columns whose remaining norm is below this fraction of
// the largest pivot count as dependent. Term values lie within a few units,
// so anything this small is rounding noise.
constexpr double kRankThreshold = 1e-9;

int Rank(const Eigen::MatrixXd& matrix) {
  if (matrix.cols() == 0) return 0;
  Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(matrix);
  qr.setThreshold(kRankThreshold);
  return static_cast<int>(qr.rank());
}

}  // namespace

int DesignRank(const Design& design) { return Rank(ToMatrix(design)); }

std::vector<int> UndeterminedColumns(const Design& design) {
  const Eigen::MatrixXd matrix = ToMatrix(design);
  std::vector<int> undetermined;
  if (Rank(matrix) == design.columns) return undetermined;
  // Column by column: a column that does not raise the rank of those kept
  // before it is one the rows cannot tell apart from them.
  Eigen::MatrixXd kept(design.rows, 0);
  for (int c = 0; c < design.columns; ++c) {
    Eigen::MatrixXd trial(design.rows, kept.cols() + 1);
    trial << kept, matrix.col(c);
    if (Rank(trial) > kept.cols()) {
      kept = std::move(trial);
    } else {
      undetermined.push_back(c);
    }
  }
  return undetermined;
}

LeastSquaresFit SolveLeastSquares(const Design& design, const std::vector<double>& observed) {
  const Eigen::MatrixXd matrix = ToMatrix(design);
  const Eigen::VectorXd y = Eigen::Map<const Eigen::VectorXd>(observed.data(), static_cast<Eigen::Index>(observed.size()));
  Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(matrix);
  qr.setThreshold(kRankThreshold);
  const Eigen::VectorXd x = qr.solve(y);
  const Eigen::VectorXd residual = y - matrix * x;

  LeastSquaresFit fit;
  fit.rank = static_cast<int>(qr.rank());
  fit.coefficients.assign(x.data(), x.data() + x.size());
  fit.residuals.assign(residual.data(), residual.data() + residual.size());

  // The hat matrix's diagonal: the squared row norms of the thin Q.
  const Eigen::MatrixXd thin_q = qr.householderQ() * Eigen::MatrixXd::Identity(design.rows, fit.rank);
  fit.loo_residuals.resize(observed.size());
  for (int r = 0; r < design.rows; ++r) {
    const double leverage = thin_q.row(r).squaredNorm();
    const double free = 1.0 - leverage;
    fit.loo_residuals[static_cast<std::size_t>(r)] =
        free > 1e-9 ? residual(r) / free : std::numeric_limits<double>::quiet_NaN();
  }

  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(matrix);
  const Eigen::VectorXd& singular = svd.singularValues();
  fit.condition = singular.size() == 0 || singular(singular.size() - 1) == 0.0
                      ? std::numeric_limits<double>::infinity()
                      : singular(0) / singular(singular.size() - 1);
  return fit;
}

double RootMeanSquare(const std::vector<double>& values) {
  if (values.empty()) return 0.0;
  double sum = 0.0;
  for (double value : values) {
    if (!std::isfinite(value)) return std::numeric_limits<double>::infinity();
    sum += value * value;
  }
  return std::sqrt(sum / static_cast<double>(values.size()));
}

}  // namespace driverwyr::calibration
