// A parsed network: input scaling, a stack of dense layers and output scaling,
// evaluated forward with one backward pass for the exact derivatives.
//
//   z_i = (x_i - offset_i) * scale_i
//   h_0 = z,  h_l = act_l(W_l h_{l-1} + b_l)   (l = 1..L, the last layer has width 1)
//   y   = out_offset + out_scale * h_L
//
// A Network is immutable once parsed and shared between runners through the
// process-wide cache; everything that changes per run lives in a Scratch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace diveduded {

enum class Activation { Linear, Tanh, Sigmoid, Softplus };

// "LINEAR", "TANH", ... (the file's spelling).
const char* activationName(Activation a);
// Parses the file's spelling (upper case only); false for anything else.
bool activationFromName(std::string_view text, Activation& out);

struct Layer {
  int rows = 0;                 // m: width of this layer
  int cols = 0;                 // k: width of the layer below (n for the first)
  Activation act = Activation::Linear;
  std::vector<double> weights;  // rows * cols, row-major
  std::vector<double> bias;     // rows
};

// A self-test point: the inputs in tag order and the expected prediction.
struct CheckPoint {
  std::vector<double> inputs;
  double expected = 0.0;
};

struct Network {
  std::string output;
  std::vector<std::string> tags;   // as written in the file, in file order
  std::vector<double> offsets;     // one per tag
  std::vector<double> scales;      // one per tag
  double out_offset = 0.0;
  double out_scale = 1.0;
  std::vector<Layer> layers;
  std::vector<CheckPoint> checks;

  // Set by the parser: unique in the process, so that a runner can tell that
  // it reopened the very same parsed network.
  std::uint64_t id = 0;

  std::size_t inputCount() const { return tags.size(); }
  std::size_t weightCount() const;
};

// Per-runner work space, sized once for a network so that evaluation does not
// allocate. One block of doubles holds every layer's output and activation
// slope, two backward-pass vectors and the scaled inputs.
class Scratch {
 public:
  void sizeFor(const Network& net);
  bool fits(const Network& net) const;

  double* act() { return buf_.data(); }
  double* slope() { return buf_.data() + total_; }
  double* back0() { return buf_.data() + 2 * total_; }
  double* back1() { return buf_.data() + 2 * total_ + wide_; }
  double* z() { return buf_.data() + 2 * total_ + 2 * wide_; }

 private:
  std::vector<double> buf_;
  std::size_t total_ = 0;  // sum of the layer widths
  std::size_t wide_ = 0;   // widest layer or input vector
  std::size_t inputs_ = 0;
};

// Evaluates the prediction at x (one value per tag). When grad is not null it
// receives dy/dx_i for every tag. The result may be non-finite for extreme
// inputs; the caller decides what to do with it. scratch must fit the network.
double evaluate(const Network& net, const double* x, Scratch& scratch, double* grad);

// Tolerance of a CHECK point: |y - expected| <= rel * |expected| + abs.
constexpr double kCheckRelTol = 1e-6;
constexpr double kCheckAbsTol = 1e-9;

// Evaluates every CHECK point. Returns the index of the first failing point
// and its prediction, or -1 when all agree.
long firstFailingCheck(const Network& net, double* got);

}  // namespace diveduded
