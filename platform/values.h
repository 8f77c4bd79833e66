// Tagged values and option lists of the framework.
//
// A value_t carries one of: a real (optionally flagged as an integer), a
// malloc'd string, a logical byte, or a list of further values. Option lists
// handed to the block factories are a VT_LIST value whose items are VT_STRING
// values "KEY:VALUE"; they are walked with the gl_* cursor functions.
#pragma once

enum value_type_tag {
  VT_NULL = 0,
  VT_REAL = 1,
  VT_STRING = 3,
  VT_LOGICAL = 6,
  VT_LIST = 8,
};

struct gl_list;  // opaque list of value_t*, owned by the list

struct value_t {
  int type = VT_NULL;
  int is_integer = 0;       // for VT_REAL: the value was given as an integer (ival)
  long long ival = 0;
  double dval = 0.0;
  char* sval = nullptr;     // VT_STRING: owned, malloc'd
  unsigned char lval = 0;   // VT_LOGICAL
  gl_list* list = nullptr;  // VT_LIST: owned
  int assign_a = 0;         // the two further arguments of value_assign_double,
  int assign_b = 0;         // recorded, not interpreted
};

// Every assignment releases the previous payload first. A null value is ignored.
void value_assign_double(value_t* v, double d, int a, int b);
void value_assign_string(value_t* v, char* owned_malloced);  // takes ownership (freed with free)
void value_assign_logical(value_t* v, unsigned char b);
void value_assign_integer(value_t* v, long long i);          // VT_REAL with is_integer set
void value_clear(value_t* v);                                // frees payloads, back to VT_NULL

// Real value of a VT_REAL: the integer converted to double when the integer
// flag is set, else the double.
double value_real(const value_t& v);

// List walkers. The cursor lives in the list (single-threaded, not nested).
void gl_top(gl_list* l);
int gl_end(const gl_list* l);      // non-zero when the cursor is past the last item (or l is null)
void* gl_get(const gl_list* l);    // value_t* at the cursor, may be null
void gl_next(gl_list* l);

// Host-side builders.
gl_list* gl_create();
void gl_destroy(gl_list* l);                 // deletes the list and every item it owns
void gl_append(gl_list* l, value_t* owned);  // owned may be null (a null item)
int gl_size(const gl_list* l);
value_t* value_make_list();                  // new VT_LIST value with an empty list
value_t* value_make_string(const char* text);
void value_destroy(value_t* v);              // value_clear + delete
