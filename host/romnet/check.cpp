#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "host/romnet/commands.h"
#include "host/romnet/runner_file.h"
#include "platform/diveduded/parser.h"
#include "platform/diveduded/writer.h"
#include "platform/text.h"

namespace romnet {

namespace {

// Step of the fourth-order central difference, in the input's own units (z):
// its truncation error (~step^4) and its rounding error (~1e-16 / step) both
// stay near 1e-13 of the prediction, so that even a derivative much smaller
// than the others is checked to better than 1e-6.
constexpr double kStep = 1e-3;

struct Probe {
  DIVeduded& runner;
  std::vector<char*> names;
  int run(std::vector<double>& x, double& y) {
    runner.SetInputs(names.data(), x.data(), static_cast<int>(x.size()));
    const int s = runner.Run();
    y = runner.m_dResult;
    return s;
  }
};

}  // namespace

int runCheck(const std::vector<std::string>& args) {
  std::string file;
  double tol = 1e-6;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--tol" && i + 1 < args.size()) {
      if (!diveduded::parseNumber(args[++i], tol) || !(tol > 0.0)) {
        std::fprintf(stderr, "romnet check: --tol takes a positive number\n");
        return kExitUsage;
      }
    } else if (file.empty()) {
      file = args[i];
    } else {
      std::fprintf(stderr, "usage: romnet check FILE [--tol X]\n");
      return kExitUsage;
    }
  }
  if (file.empty()) {
    std::fprintf(stderr, "usage: romnet check FILE [--tol X]\n");
    return kExitUsage;
  }

  OpenedFile f;
  int status = openFile(file, f);
  if (status != 0) return status;
  const diveduded::Network& net = f.net;
  const std::size_t n = net.tags.size();

  std::vector<std::vector<double>> points;
  for (const auto& c : net.checks) points.push_back(c.inputs);
  const bool at_offsets = points.empty();
  if (at_offsets) points.push_back(net.offsets);

  std::vector<std::string> tags = net.tags;
  Probe probe{*f.runner, {}};
  for (std::string& t : tags) probe.names.push_back(t.data());
  std::vector<std::vector<char>> buffers(n, std::vector<char>(DIV_NAME_BUF));
  std::vector<char*> tag_ptrs;
  for (auto& b : buffers) tag_ptrs.push_back(b.data());
  std::vector<double> an(n);

  std::printf("%s: output %s, %zu inputs, %zu layers, %s\n", pelmo_text::printable(f.path).c_str(),
              pelmo_text::printable(net.output).c_str(), n, net.layers.size(),
              at_offsets ? "no CHECK points: checked at the input offsets"
                         : (std::to_string(points.size()) + " CHECK points hold").c_str());
  double worst = 0.0;
  for (std::size_t p = 0; p < points.size(); ++p) {
    std::vector<double> x = points[p];
    double y = 0.0;
    if ((status = probe.run(x, y)) != 0) {
      reportFailure(f, status);
      return status;
    }
    f.runner->GetDerivatives(tag_ptrs.data(), an.data());
    double biggest = 0.0;  // largest derivative in z units, for the error floor
    for (std::size_t i = 0; i < n; ++i)
      if (net.scales[i] != 0.0) biggest = std::max(biggest, std::fabs(an[i] / net.scales[i]));
    std::printf("point %zu: prediction %s\n", p + 1, diveduded::formatNumber(y).c_str());
    for (std::size_t i = 0; i < n; ++i) {
      double fd = 0.0, err = 0.0;
      if (net.scales[i] == 0.0) {
        err = an[i] == 0.0 ? 0.0 : 1.0;  // an input scaled by 0 cannot move the prediction
      } else {
        const double h = kStep / std::fabs(net.scales[i]);
        double ys[4] = {0, 0, 0, 0};  // at x - 2h, x - h, x + h, x + 2h
        const double steps[4] = {-2 * h, -h, h, 2 * h};
        for (int k = 0; k < 4; ++k) {
          std::vector<double> xs = x;
          xs[i] += steps[k];
          if ((status = probe.run(xs, ys[k])) != 0) {
            reportFailure(f, status);
            return status;
          }
        }
        fd = (8.0 * (ys[2] - ys[1]) - (ys[3] - ys[0])) / (12.0 * h);
        const double a = an[i] / net.scales[i], c = fd / net.scales[i];
        const double floor = 1e-8 * (std::fabs(y) + biggest) + 1e-300;
        err = std::fabs(a - c) / std::max({std::fabs(a), std::fabs(c), floor});
      }
      worst = std::max(worst, err);
      std::printf("  %-24s exact %-24s central %-24s rel.err %.2e%s\n", pelmo_text::printable(net.tags[i]).c_str(),
                  diveduded::formatNumber(an[i]).c_str(), diveduded::formatNumber(fd).c_str(), err,
                  err <= tol ? "" : "  FAIL");
    }
  }
  f.runner->Close();
  std::printf("largest relative error %.2e (tolerance %.1e): %s\n", worst, tol, worst <= tol ? "ok" : "FAILED");
  return worst <= tol ? 0 : kExitData;
}

}  // namespace romnet
