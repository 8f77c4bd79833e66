// The framework's equation list. Equation numbers are 1-based and global; the
// residual vector is 0-based (element n-1 holds equation n) with one hidden
// leading pad element.
#pragma once

class QivEOBlock;
struct rtattrdict_t;

struct rteqn_rec_t {
  int flags = 0;
  char name[256] = {};
  double r1 = 0.0;
  double r2 = 0.0;
  int pmt = 0;
  int offset = 0;
  const QivEOBlock* owner = nullptr;
};

// Prepares a record field: *field = mode.
void u3rpmt_c(int* field, int mode);

// Registers equation num with the record's name and owner (the other fields are
// the block's to pass and are not interpreted). A number outside 1..capacity or
// registered twice is refused and counted; a repeated name is registered and
// counted, and found by name as the first one.
int rtoeqnlst_initialize_eqn(rtattrdict_t* l, int num, const rteqn_rec_t* rec);
double* rtoeqnlst_vec_residual(rtattrdict_t* l);

// Host side.
rtattrdict_t* rtoeqnlst_create(int capacity);
void rtoeqnlst_destroy(rtattrdict_t* l);
int rtoeqnlst_capacity(const rtattrdict_t* l);
int rtoeqnlst_error_count(const rtattrdict_t* l);
void rtoeqnlst_reset_errors(rtattrdict_t* l);
bool rtoeqnlst_is_registered(const rtattrdict_t* l, int num);
const char* rtoeqnlst_name(const rtattrdict_t* l, int num);  // "" when not registered
int rtoeqnlst_find(const rtattrdict_t* l, const char* full_name);  // 0 when unknown
const QivEOBlock* rtoeqnlst_owner(const rtattrdict_t* l, int num);
int rtoeqnlst_registered_count(const rtattrdict_t* l);
void rtoeqnlst_relocate(rtattrdict_t* l);
