// The framework's sparse Jacobian: non-zero numbers are 1-based; each has an
// equation (row) and a variable (column) number, registered as a pair. The
// value vector is 0-based (element nz-1) with one hidden leading pad element.
#pragma once

struct rt_jac_t;

// nz must lie in 1..capacity and the number be positive, else nothing is
// written and the error is counted. A later pattern pass may register the same
// numbers again.
int rtojac_set_nz_eqnnum(rt_jac_t* j, int nz, int eqn);
int rtojac_set_nz_varnum(rt_jac_t* j, int nz, int var);
double* rtojac_vec_bj(rt_jac_t* j);

// Host side.
rt_jac_t* rtojac_create(int capacity);
void rtojac_destroy(rt_jac_t* j);
int rtojac_capacity(const rt_jac_t* j);
int rtojac_error_count(const rt_jac_t* j);
void rtojac_reset_errors(rt_jac_t* j);
void rtojac_reset_pattern(rt_jac_t* j);          // forget rows, columns and the highest nz
int rtojac_max_nz_registered(const rt_jac_t* j);  // 0 when none
int rtojac_row(const rt_jac_t* j, int nz);        // 0 when not registered
int rtojac_col(const rt_jac_t* j, int nz);
void rtojac_relocate(rt_jac_t* j);
