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

// tanh from one exp: libm's tanh goes through expm1 and costs several times
// more, and a network spends most of its time here. Below |u| = 0.01 the odd
// series to u^7 is exact to rounding; above it 1 - 2 / (e^2u + 1) is within a
// few units of 1e-16 (e^2u overflowing to infinity gives exactly 1).
inline double fastTanh(double u) {
  if (std::fabs(u) < 0.01) {
    const double u2 = u * u;
    return u * (1.0 + u2 * (-1.0 / 3.0 + u2 * (2.0 / 15.0 + u2 * (-17.0 / 315.0))));
  }
  return 1.0 - 2.0 / (std::exp(2.0 * u) + 1.0);
}

// Applies the activation to the row's arguments in place and stores its
// derivatives. One loop per kind, so the units of a row overlap in the CPU.
void activateAll(Activation act, double* v, double* slope, std::size_t rows) {
  switch (act) {
    case Activation::Tanh:
      for (std::size_t r = 0; r < rows; ++r) {
        const double a = fastTanh(v[r]);
        v[r] = a;
        slope[r] = 1.0 - a * a;
      }
      return;
    case Activation::Sigmoid:
      for (std::size_t r = 0; r < rows; ++r) {
        const double a = logistic(v[r]);
        v[r] = a;
        slope[r] = a * (1.0 - a);
      }
      return;
    case Activation::Softplus:
      // log(1 + e^u) without overflow for large u; its derivative is the logistic.
      for (std::size_t r = 0; r < rows; ++r) {
        const double u = v[r];
        slope[r] = logistic(u);
        v[r] = u > 0.0 ? u + std::log1p(std::exp(-u)) : std::log1p(std::exp(u));
      }
      return;
    case Activation::Linear:
      break;
  }
  for (std::size_t r = 0; r < rows; ++r) slope[r] = 1.0;
}

// Dot product with four running sums: one sum would wait on each addition in
// turn; four let the additions overlap (and vectorise).
inline double dot(const double* a, const double* b, std::size_t n) {
  double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
  std::size_t j = 0;
  for (; j + 4 <= n; j += 4) {
    s0 += a[j] * b[j];
    s1 += a[j + 1] * b[j + 1];
    s2 += a[j + 2] * b[j + 2];
    s3 += a[j + 3] * b[j + 3];
  }
  for (; j < n; ++j) s0 += a[j] * b[j];
  return (s0 + s1) + (s2 + s3);
}

// out = W^T v for a row-major rows x cols matrix W. Four columns at a time
// with their sums held in registers: accumulating into out row after row
// would make every addition wait for the previous row's store.
inline void transposedProduct(const double* w, std::size_t rows, std::size_t cols, const double* v, double* out) {
  std::size_t j = 0;
  for (; j + 4 <= cols; j += 4) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    const double* p = w + j;
    for (std::size_t r = 0; r < rows; ++r, p += cols) {
      const double d = v[r];
      s0 += p[0] * d;
      s1 += p[1] * d;
      s2 += p[2] * d;
      s3 += p[3] * d;
    }
    out[j] = s0;
    out[j + 1] = s1;
    out[j + 2] = s2;
    out[j + 3] = s3;
  }
  for (; j < cols; ++j) {
    double s = 0.0;
    const double* p = w + j;
    for (std::size_t r = 0; r < rows; ++r, p += cols) s += *p * v[r];
    out[j] = s;
  }
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
  const std::size_t inputs = net.tags.size();
  // The sizes change only with the buffer: after a failed allocation fits()
  // still describes the buffer there is.
  buf_.assign(2 * total + 2 * wide + inputs, 0.0);
  total_ = total;
  wide_ = wide;
  inputs_ = inputs;
}

bool Scratch::fits(const Network& net) const {
  return total_ == totalWidth(net) && wide_ == std::max<std::size_t>(widest(net), 1) && inputs_ == net.tags.size() &&
         !buf_.empty();
}

double evaluate(const Network& net, const double* x, Scratch& s, double* grad) {
  const std::size_t n = net.tags.size();
  double* z = s.z();
  for (std::size_t i = 0; i < n; ++i) z[i] = (x[i] - net.offsets[i]) * net.scales[i];

  // Forward pass: keep every layer's output and activation slope for the
  // backward pass.
  const double* in = z;
  std::size_t pos = 0;
  for (const Layer& layer : net.layers) {
    double* out = s.act() + pos;
    double* slope = s.slope() + pos;
    const std::size_t cols = static_cast<std::size_t>(layer.cols);
    const double* w = layer.weights.data();
    const std::size_t rows = static_cast<std::size_t>(layer.rows);
    for (std::size_t r = 0; r < rows; ++r, w += cols) out[r] = layer.bias[r] + dot(w, in, cols);
    activateAll(layer.act, out, slope, rows);
    in = out;
    pos += static_cast<std::size_t>(layer.rows);
  }
  const double y = net.out_offset + net.out_scale * in[0];
  if (grad == nullptr) return y;

  // Backward pass: cur holds dy/du for the current layer's pre-activations;
  // W^T cur gives dy/dh of the layer below, times its slope its dy/du.
  double* cur = s.back0();
  double* next = s.back1();
  std::size_t end = pos;
  for (std::size_t l = net.layers.size(); l-- > 0;) {
    const Layer& layer = net.layers[l];
    const std::size_t rows = static_cast<std::size_t>(layer.rows);
    const std::size_t cols = static_cast<std::size_t>(layer.cols);
    const std::size_t start = end - rows;
    const double* slope = s.slope() + start;
    if (l + 1 == net.layers.size()) {
      cur[0] = net.out_scale * slope[0];
    }
    transposedProduct(layer.weights.data(), rows, cols, cur, next);
    if (l > 0) {
      const double* below = s.slope() + (start - cols);
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
