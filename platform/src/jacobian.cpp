// The sparse Jacobian's pattern and values.
#include "platform/jacobian.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/src/padded_vector.h"

struct rt_jac_t {
  explicit rt_jac_t(int cap) : capacity(cap), values(static_cast<std::size_t>(cap)) {}

  int capacity;
  // Rows and columns by non-zero number - 1 (0: not registered), as far as
  // numbers were registered: a number past the end of its half is not
  // registered either. A block registers far fewer non-zeros than the
  // capacity allows, so the halves grow with the registrations instead of
  // spanning the capacity.
  std::vector<int> rows;
  std::vector<int> cols;
  pelmo_detail::PaddedVector values;
  int max_nz = 0;
  int errors = 0;

  // Registration of one half of a non-zero: nz within the capacity, a positive
  // equation or variable number. Numbers may be registered again (each
  // pattern pass repeats the numbering).
  int set(std::vector<int>& half, int nz, int num) {
    if (nz < 1 || nz > capacity || num < 1) {
      ++errors;
      return 1;
    }
    const auto at = static_cast<std::size_t>(nz - 1);
    if (at >= half.size()) {
      try {
        grow(half, at + 1);
      } catch (const std::bad_alloc&) {
        ++errors;  // no room to keep it: refused, as an invalid number would be
        return 1;
      }
    }
    half[at] = num;
    max_nz = std::max(max_nz, nz);
    return 0;
  }

  // The registered number at nz in one half; 0 when none.
  static int get(const std::vector<int>& half, int nz) {
    const auto at = static_cast<std::size_t>(nz - 1);
    return at < half.size() ? half[at] : 0;
  }

  // At least n entries, the new ones 0. A half starts at a block's usual
  // count and at least doubles, so a pattern pass registering numbers one
  // by one grows it only a few times.
  void grow(std::vector<int>& half, std::size_t n) {
    constexpr std::size_t kFirstSize = 2048;
    half.resize(std::min(std::max({n, 2 * half.size(), kFirstSize}), static_cast<std::size_t>(capacity)), 0);
  }
};

int rtojac_set_nz_eqnnum(rt_jac_t* j, int nz, int eqn) { return j ? j->set(j->rows, nz, eqn) : 1; }
int rtojac_set_nz_varnum(rt_jac_t* j, int nz, int var) { return j ? j->set(j->cols, nz, var) : 1; }
double* rtojac_vec_bj(rt_jac_t* j) { return j ? j->values.data() : nullptr; }

rt_jac_t* rtojac_create(int capacity) {
  if (capacity < 0) return nullptr;
  try {
    return new rt_jac_t(capacity);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void rtojac_destroy(rt_jac_t* j) { delete j; }
int rtojac_capacity(const rt_jac_t* j) { return j ? j->capacity : 0; }
int rtojac_error_count(const rt_jac_t* j) { return j ? j->errors : 0; }
void rtojac_reset_errors(rt_jac_t* j) {
  if (j) j->errors = 0;
}

void rtojac_reset_pattern(rt_jac_t* j) {
  if (!j) return;
  // Nothing beyond the highest number registered was ever set.
  for (std::vector<int>* half : {&j->rows, &j->cols})
    std::fill_n(half->begin(), std::min(half->size(), static_cast<std::size_t>(j->max_nz)), 0);
  j->max_nz = 0;
}

int rtojac_max_nz_registered(const rt_jac_t* j) { return j ? j->max_nz : 0; }

int rtojac_row(const rt_jac_t* j, int nz) {
  return (j && nz >= 1 && nz <= j->capacity) ? rt_jac_t::get(j->rows, nz) : 0;
}

int rtojac_col(const rt_jac_t* j, int nz) {
  return (j && nz >= 1 && nz <= j->capacity) ? rt_jac_t::get(j->cols, nz) : 0;
}

void rtojac_relocate(rt_jac_t* j) {
  if (!j) return;
  try {
    j->values.relocate();
  } catch (const std::bad_alloc&) {
  }
}
