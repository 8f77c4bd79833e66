// The sparse Jacobian's pattern and values.
#include "platform/jacobian.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/src/padded_vector.h"

struct rt_jac_t {
  explicit rt_jac_t(int cap)
      : capacity(cap), rows(static_cast<std::size_t>(cap)), cols(static_cast<std::size_t>(cap)), values(static_cast<std::size_t>(cap)) {}

  int capacity;
  std::vector<int> rows;  // 0: not registered
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
    half[static_cast<std::size_t>(nz - 1)] = num;
    max_nz = std::max(max_nz, nz);
    return 0;
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
  const auto used = static_cast<std::ptrdiff_t>(j->max_nz);
  std::fill(j->rows.begin(), j->rows.begin() + used, 0);
  std::fill(j->cols.begin(), j->cols.begin() + used, 0);
  j->max_nz = 0;
}

int rtojac_max_nz_registered(const rt_jac_t* j) { return j ? j->max_nz : 0; }

int rtojac_row(const rt_jac_t* j, int nz) {
  return (j && nz >= 1 && nz <= j->capacity) ? j->rows[static_cast<std::size_t>(nz - 1)] : 0;
}

int rtojac_col(const rt_jac_t* j, int nz) {
  return (j && nz >= 1 && nz <= j->capacity) ? j->cols[static_cast<std::size_t>(nz - 1)] : 0;
}

void rtojac_relocate(rt_jac_t* j) {
  if (!j) return;
  try {
    j->values.relocate();
  } catch (const std::bad_alloc&) {
  }
}
