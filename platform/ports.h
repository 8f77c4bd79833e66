// Ports: named lists of framework variable numbers that the flowsheet connects.
#pragma once

#include <string>
#include <vector>

struct qiv_port {
  std::string name;
  int type = 0;
  int direction = 0;  // 1 input, 2 output
  int basis = 0;
  std::vector<int> vars;  // framework variable numbers, 0 for an unset slot
  int errors = 0;         // slot writes out of range
};

qiv_port* qivport_create(const char* name, int type, int direction, int basis);
void qivport_destroy(qiv_port* p);
int qivport_nvars(const qiv_port* p);
int qivport_set_nvars(qiv_port* p, int n);           // resizes, new slots 0; n < 0 is an error
int qivport_set_var(qiv_port* p, int place0, int varnum);  // place0 in [0, nvars)
int qivport_var(const qiv_port* p, int place0);      // 0 when out of range
