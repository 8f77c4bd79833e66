// Exact derivatives: every activation against a fourth-order central
// difference, the writer's round trip, and stability at large arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/diveduded/network.h"
#include "platform/diveduded/parser.h"
#include "platform/diveduded/writer.h"

namespace {

using diveduded::Activation;

// A deterministic pseudo-random two-layer network: n inputs, h hidden units.
diveduded::Network twoLayer(Activation act, int n, int h, std::uint32_t seed) {
  std::uint32_t s = seed;
  auto next = [&s] {
    s = s * 1664525u + 1013904223u;
    return (static_cast<double>(s >> 8) / 16777216.0) * 2.0 - 1.0;  // [-1, 1)
  };
  diveduded::Network net;
  net.output = "Y";
  for (int i = 0; i < n; ++i) {
    net.tags.push_back("X" + std::to_string(i));
    net.offsets.push_back(100.0 * next());
    net.scales.push_back(0.01 + 0.05 * (next() + 1.0));
  }
  net.out_offset = 0.3;
  net.out_scale = 2.5;
  net.layers.push_back({h, n, act, {}, {}});
  net.layers.push_back({1, h, Activation::Linear, {}, {}});
  for (auto& l : net.layers) {
    for (int k = 0; k < l.rows * l.cols; ++k) l.weights.push_back(next());
    for (int k = 0; k < l.rows; ++k) l.bias.push_back(0.5 * next());
  }
  return net;
}

struct DerivCase {
  Activation act;
  int inputs, hidden;
};

class ExactDerivatives : public ::testing::TestWithParam<DerivCase> {};

TEST_P(ExactDerivatives, MatchCentralDifferences) {
  const DerivCase c = GetParam();
  const diveduded::Network net = twoLayer(c.act, c.inputs, c.hidden, 7u + static_cast<std::uint32_t>(c.hidden));
  diveduded::Scratch s;
  s.sizeFor(net);
  std::vector<double> grad(net.inputCount());
  for (int point = 0; point < 5; ++point) {
    std::vector<double> x(net.inputCount());
    for (std::size_t i = 0; i < x.size(); ++i)
      x[i] = net.offsets[i] + (point - 2) * 7.0 / net.scales[i] * 0.1 * static_cast<double>(i % 3 + 1);
    const double y = diveduded::evaluate(net, x.data(), s, grad.data());
    ASSERT_TRUE(std::isfinite(y));
    for (std::size_t i = 0; i < x.size(); ++i) {
      // Fourth-order stencil with a step of 1e-3 in the network's own units:
      // truncation and rounding both stay far below 1e-7.
      const double h = 1e-3 / net.scales[i];
      auto at = [&](double d) {
        std::vector<double> xs = x;
        xs[i] += d;
        return diveduded::evaluate(net, xs.data(), s, nullptr);
      };
      const double fd = (8.0 * (at(h) - at(-h)) - (at(2 * h) - at(-2 * h))) / (12.0 * h);
      EXPECT_NEAR(grad[i], fd, 1e-7 * std::max(std::fabs(fd), 1e-3 * net.scales[i]))
          << "input " << i << " at point " << point;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Activations, ExactDerivatives,
                         ::testing::Values(DerivCase{Activation::Tanh, 11, 16}, DerivCase{Activation::Tanh, 3, 1},
                                           DerivCase{Activation::Sigmoid, 5, 8},
                                           DerivCase{Activation::Softplus, 5, 8},
                                           DerivCase{Activation::Linear, 4, 3}),
                         [](const ::testing::TestParamInfo<DerivCase>& i) {
                           return std::string(diveduded::activationName(i.param.act)) + "_" +
                                  std::to_string(i.param.inputs) + "x" + std::to_string(i.param.hidden);
                         });

TEST(NetworkEvaluation, ThreeLayersChainTheBackwardPass) {
  diveduded::Network net = twoLayer(Activation::Tanh, 3, 4, 99);
  // Put a sigmoid layer of width 2 between the tanh layer and the output.
  net.layers.insert(net.layers.begin() + 1,
                    diveduded::Layer{2, 4, Activation::Sigmoid, {0.3, -0.7, 0.2, 0.9, -0.4, 0.1, 0.8, -0.6}, {0.1, -0.2}});
  net.layers.back() = {1, 2, Activation::Softplus, {1.3, -0.8}, {0.05}};
  diveduded::Scratch s;
  s.sizeFor(net);
  std::vector<double> x = net.offsets, grad(3);
  diveduded::evaluate(net, x.data(), s, grad.data());
  for (std::size_t i = 0; i < 3; ++i) {
    const double h = 1e-3 / net.scales[i];
    std::vector<double> p = x, m = x, p2 = x, m2 = x;
    p[i] += h, m[i] -= h, p2[i] += 2 * h, m2[i] -= 2 * h;
    auto f = [&](std::vector<double>& v) { return diveduded::evaluate(net, v.data(), s, nullptr); };
    const double fd = (8.0 * (f(p) - f(m)) - (f(p2) - f(m2))) / (12.0 * h);
    EXPECT_NEAR(grad[i], fd, 1e-7 * std::fabs(fd) + 1e-12);
  }
}

TEST(NetworkEvaluation, LargeArgumentsStayFinite) {
  for (Activation act : {Activation::Tanh, Activation::Sigmoid, Activation::Softplus}) {
    diveduded::Network net;
    net.output = "Y";
    net.tags = {"X"};
    net.offsets = {0.0};
    net.scales = {1.0};
    net.layers.push_back({1, 1, act, {1.0}, {0.0}});
    diveduded::Scratch s;
    s.sizeFor(net);
    for (double x : {-800.0, 800.0}) {
      double g = 0.0;
      const double y = diveduded::evaluate(net, &x, s, &g);
      EXPECT_TRUE(std::isfinite(y) && std::isfinite(g)) << diveduded::activationName(act) << " at " << x;
    }
  }
}

TEST(NetworkWriter, RoundTripIsExact) {
  diveduded::Network net = twoLayer(Activation::Softplus, 6, 5, 3);
  net.checks.push_back({net.offsets, 0.125});
  diveduded::Network back;
  diveduded::ParseError err;
  ASSERT_TRUE(diveduded::parseNetwork(diveduded::writeNetwork(net, "two\nlines"), back, err)) << err.message;
  EXPECT_EQ(back.tags, net.tags);
  EXPECT_EQ(back.offsets, net.offsets);
  EXPECT_EQ(back.scales, net.scales);
  ASSERT_EQ(back.layers.size(), net.layers.size());
  for (std::size_t l = 0; l < net.layers.size(); ++l) {
    EXPECT_EQ(back.layers[l].weights, net.layers[l].weights);
    EXPECT_EQ(back.layers[l].bias, net.layers[l].bias);
    EXPECT_EQ(back.layers[l].act, net.layers[l].act);
  }
  EXPECT_EQ(back.checks.at(0).inputs, net.offsets);
}

TEST(NetworkWriter, NoInputsMeansAConstant) {
  diveduded::Network net;
  net.output = "K";
  net.out_offset = 1.5;
  net.layers.push_back({1, 0, Activation::Linear, {}, {2.0}});
  diveduded::Network back;
  diveduded::ParseError err;
  ASSERT_TRUE(diveduded::parseNetwork(diveduded::writeNetwork(net, ""), back, err)) << err.message;
  diveduded::Scratch s;
  s.sizeFor(back);
  EXPECT_EQ(diveduded::evaluate(back, nullptr, s, nullptr), 3.5);
}

}  // namespace

namespace {

// The runner's own tanh against the C library's, across the series branch,
// the exp branch and saturation.
TEST(NetworkEvaluation, TanhAgreesWithTheLibraryToRounding) {
  diveduded::Network net;
  net.output = "Y";
  net.tags = {"X"};
  net.offsets = {0.0};
  net.scales = {1.0};
  net.layers.push_back({1, 1, Activation::Tanh, {1.0}, {0.0}});
  diveduded::Scratch s;
  s.sizeFor(net);
  for (double u : {0.0, 1e-300, -1e-9, 0.0099999, 0.01, -0.010001, 0.3, -0.7, 1.0, 5.0, -19.0, 22.5, 400.0, -1e300}) {
    double g = 0.0;
    const double y = diveduded::evaluate(net, &u, s, &g);
    const double t = std::tanh(u);
    EXPECT_NEAR(y, t, 4e-16) << u;
    EXPECT_NEAR(y, t, 2e-14 * std::fabs(t)) << u;  // relative, where the series takes over
    EXPECT_NEAR(g, 1.0 - t * t, 1e-15) << u;
  }
}

}  // namespace
