// The framework's variable list. Variable numbers are 1-based and global; the
// value vector is 0-based (element n-1 holds variable n) and is allocated with
// one hidden leading pad element. Every operation bounds-checks its number and
// counts errors instead of writing out of range: a number outside 1..capacity,
// a number registered twice, an operation on a number that was never
// registered, a non-finite value or a NaN bound. A variable registered under a
// name that another variable already holds is registered, counted as an error,
// and found by name as the first one.
#pragma once

struct rtvarlst_t;

struct rtvar_rec_t {
  int flags = 0;
  char name[256] = {};
  double value = 0.0;
  double lower = -1e30;
  double upper = 1e30;
  long long status = 0;
};

// Library-facing operations (results 0 on success, non-zero otherwise).
// Registers a free variable with the record's name, value, bounds, status and flags.
int rtovarlst_initialize_var(rtvarlst_t* l, int num, const rtvar_rec_t* rec, int flag);
double* rtovarlst_vec_value(rtvarlst_t* l);
int rtovarlst_set_var_value(rtvarlst_t* l, int num, double v, int flag = 0);
int rtovarlst_fix_var(rtvarlst_t* l, int num);
int rtovarlst_free_var(rtvarlst_t* l, int num);
int rtovarlst_set_var_lower(rtvarlst_t* l, int num, double v);
int rtovarlst_set_var_upper(rtvarlst_t* l, int num, double v);
long long rtovarlst_inq_var_status(rtvarlst_t* l, int num);  // 0 for a bad number (counted)
int rtovarlst_set_var_status(rtvarlst_t* l, int num, long long status);
int rtovarlst_set_var_baseuom(rtvarlst_t* l, int num, int uom_id);
int rtovarlst_set_var_uom(rtvarlst_t* l, int num, int uom_id);
void varSetPhysicalType(long long* status, int phys_type);  // bits 8-15 of the word
// Unit text to physical type and unit id; 0 when known, 1 (ids 0, a warning
// counted) otherwise.
int rtouom_locate(const char* unit, int* phys_type, int* uom_id);
const char* rtouom_name(int uom_id);  // "" for an unknown id
int rtouom_warning_count();
void rtouom_reset_warnings();

// Host side.
rtvarlst_t* rtovarlst_create(int capacity);  // numbers 1..capacity; null for a negative capacity
void rtovarlst_destroy(rtvarlst_t* l);
int rtovarlst_capacity(const rtvarlst_t* l);
int rtovarlst_error_count(const rtvarlst_t* l);
void rtovarlst_reset_errors(rtvarlst_t* l);
bool rtovarlst_is_registered(const rtvarlst_t* l, int num);
bool rtovarlst_is_fixed(const rtvarlst_t* l, int num);
double rtovarlst_lower(const rtvarlst_t* l, int num);
double rtovarlst_upper(const rtvarlst_t* l, int num);
const char* rtovarlst_name(const rtvarlst_t* l, int num);  // "" when not registered
int rtovarlst_find(const rtvarlst_t* l, const char* full_name);  // 0 when unknown
int rtovarlst_uom(const rtvarlst_t* l, int num);
int rtovarlst_baseuom(const rtvarlst_t* l, int num);
int rtovarlst_phys_type(const rtvarlst_t* l, int num);  // from the status word
int rtovarlst_flags(const rtvarlst_t* l, int num);
int rtovarlst_registered_count(const rtvarlst_t* l);
// Moves the value storage to a new allocation (contents kept), so tests can
// check that every pass re-reads the vector.
void rtovarlst_relocate(rtvarlst_t* l);
