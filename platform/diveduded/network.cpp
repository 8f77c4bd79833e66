#include "platform/diveduded/network.h"

#include <algorithm>
#include <cmath>

namespace diveduded {

namespace {

struct ActivationName {
  Activation act;
  const char* name;
};

constexpr ActivationName kActivations[] = {
    {Activation::Linear, "LINEAR"},
    {Activation::Tanh, "TANH"},
    {Activation::Sigmoid, "SIGMOID"},
    {Activation::Softplus, "SOFTPLUS"},
};

// Logistic function in a form that never overflows: exp only of a non-positive
// argument.
inline double logistic(double u) {
  if (u >= 0.0) return 1.0 / (1.0 + std::exp(-u));
  const double e = std::exp(u);
  return e / (1.0 + e);
}

// Applies the activation to u; returns its value and stores its derivative.
inline double activate(Activation act, double u, double& slope) {
  switch (act) {
    case Activation::Tanh: {
      const double a = std::tanh(u);
      slope = 1.0 - a * a;
      return a;
    }
    case Activation::Sigmoid: {
      const double a = logistic(u);
      slope = a * (1.0 - a);
      return a;
    }
    case Activation::Softplus:
      // log(1 + e^u) without overflow for large u; its derivative is the logistic.
      slope = logistic(u);
      return u > 0.0 ? u + std::log1p(std::exp(-u)) : std::log1p(std::exp(u));
    case Activation::Linear:
      break;
  }
  slope = 1.0;
  return u;
}

std::size_t totalWidth(const Network& net) {
  std::size_t w = 0;
  for (const Layer& l : net.layers) w += static_cast<std::size_t>(l.rows);
  return w;
}

std::size_t widest(const Network& net) {
  std::size_t w = net.tags.size();
  for (const Layer& l : net.layers) w = std::max(w, static_cast<std::size_t>(l.rows));
  return w;
}

}  // namespace

const char* activationName(Activation a) {
  for (const ActivationName& e : kActivations)
    if (e.act == a) return e.name;
  return "LINEAR";
}

bool activationFromName(std::string_view text, Activation& out) {
  for (const ActivationName& e : kActivations) {
    if (text == e.name) {
      out = e.act;
      return true;
    }
  }
  return false;
}

std::size_t Network::weightCount() const {
  std::size_t w = 0;
  for (const Layer& l : layers) w += l.weights.size();
  return w;
}

void Scratch::sizeFor(const Network& net) {
  const std::size_t total = totalWidth(net);
  const std::size_t wide = std::max<std::size_t>(widest(net), 1);
  act.resize(total);
  slope.resize(total);
  back0.resize(wide);
  back1.resize(wide);
  z.resize(net.tags.size());
}

bool Scratch::fits(const Network& net) const {
  const std::size_t total = totalWidth(net);
  const std::size_t wide = std::max<std::size_t>(widest(net), 1);
  return act.size() >= total && slope.size() >= total && back0.size() >= wide && back1.size() >= wide &&
         z.size() >= net.tags.size();
}

double evaluate(const Network& net, const double* x, Scratch& s, double* grad) {
  const std::size_t n = net.tags.size();
  double* z = s.z.data();
  for (std::size_t i = 0; i < n; ++i) z[i] = (x[i] - net.offsets[i]) * net.scales[i];

  // Forward pass: keep every layer's output and activation slope for the
  // backward pass.
  const double* in = z;
  std::size_t pos = 0;
  for (const Layer& layer : net.layers) {
    double* out = s.act.data() + pos;
    double* slope = s.slope.data() + pos;
    const std::size_t cols = static_cast<std::size_t>(layer.cols);
    const double* w = layer.weights.data();
    for (int r = 0; r < layer.rows; ++r, w += cols) {
      double u = layer.bias[static_cast<std::size_t>(r)];
      for (std::size_t j = 0; j < cols; ++j) u += w[j] * in[j];
      out[r] = activate(layer.act, u, slope[r]);
    }
    in = out;
    pos += static_cast<std::size_t>(layer.rows);
  }
  const double y = net.out_offset + net.out_scale * in[0];
  if (grad == nullptr) return y;

  // Backward pass: cur holds dy/du for the current layer's pre-activations;
  // W^T cur gives dy/dh of the layer below, times its slope its dy/du.
  double* cur = s.back0.data();
  double* next = s.back1.data();
  std::size_t end = pos;
  for (std::size_t l = net.layers.size(); l-- > 0;) {
    const Layer& layer = net.layers[l];
    const std::size_t rows = static_cast<std::size_t>(layer.rows);
    const std::size_t cols = static_cast<std::size_t>(layer.cols);
    const std::size_t start = end - rows;
    const double* slope = s.slope.data() + start;
    if (l + 1 == net.layers.size()) {
      cur[0] = net.out_scale * slope[0];
    }
    std::fill(next, next + cols, 0.0);
    const double* w = layer.weights.data();
    for (std::size_t r = 0; r < rows; ++r, w += cols) {
      const double d = cur[r];
      for (std::size_t j = 0; j < cols; ++j) next[j] += w[j] * d;
    }
    if (l > 0) {
      const double* below = s.slope.data() + (start - cols);
      for (std::size_t j = 0; j < cols; ++j) next[j] *= below[j];
    }
    std::swap(cur, next);
    end = start;
  }
  // cur now holds dy/dz; dz_i/dx_i = scale_i.
  for (std::size_t i = 0; i < n; ++i) grad[i] = cur[i] * net.scales[i];
  return y;
}

long firstFailingCheck(const Network& net, double* got) {
  if (net.checks.empty()) return -1;
  Scratch s;
  s.sizeFor(net);
  for (std::size_t c = 0; c < net.checks.size(); ++c) {
    const CheckPoint& p = net.checks[c];
    const double y = evaluate(net, p.inputs.data(), s, nullptr);
    const bool ok = std::isfinite(y) && std::fabs(y - p.expected) <= kCheckRelTol * std::fabs(p.expected) + kCheckAbsTol;
    if (!ok) {
      if (got != nullptr) *got = y;
      return static_cast<long>(c);
    }
  }
  return -1;
}

}  // namespace diveduded
