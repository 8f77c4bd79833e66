// C runtime pieces with the behaviour the library relies on.
#pragma once

#include <cstring>

// The classic 15-bit linear congruential generator: values 0 to 32767, seed 1
// when the library is loaded. Process-wide; the library never seeds it.
int crt_rand();
void crt_srand(unsigned seed);
constexpr int CRT_RAND_MAX = 32767;

// A malloc'd copy (freed with free), as value_assign_string expects.
inline char* _strdup(const char* s) { return s ? ::strdup(s) : nullptr; }
