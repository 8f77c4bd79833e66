// The exceptions of the variable and equation managers. Each carries no data of
// its own; what() gives a fixed text. The first-generation classes (vardupex,
// eqdupex, initex) serve the hydrocracker's managers, the second-generation
// ones (suffix 2) the managers of robase2; the texts are the same.
#pragma once

#include <exception>

// A variable name that the manager already holds.
class vardupex : public std::exception {
 public:
  const char* what() const noexcept override { return "That variable already exists"; }
};

// An equation name that the manager already holds.
class eqdupex : public std::exception {
 public:
  const char* what() const noexcept override { return "That equation name already exists"; }
};

// An equation manager used before its block has set it up.
class initex : public std::exception {
 public:
  const char* what() const noexcept override { return "The Equation Manager has yet been initialized"; }
};

class vardupex2 : public std::exception {
 public:
  const char* what() const noexcept override { return "That variable already exists"; }
};

class eqdupex2 : public std::exception {
 public:
  const char* what() const noexcept override { return "That equation name already exists"; }
};

class initex2 : public std::exception {
 public:
  const char* what() const noexcept override { return "The Equation Manager has yet been initialized"; }
};
