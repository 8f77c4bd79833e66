// The four second-generation hydrocracker model kinds over hcrbase_1: their
// extra products and recycle rate, values, specifications and index
// equations. Each adds its own rows first and ends in the base's operation.
#include "models/hydrocracker/hcrbase_1.h"

namespace {

constexpr double kCutOff = 1e-19;  // floor of the KER and DSL yield fractions

}  // namespace

// ---- "HCR_D" ------------------------------------------------------------------

template <class Base>
rohcrd_1<Base>::rohcrd_1(const char* name, VerInfo version) : Base(name, version) {
  this->setModelKind("HCR_D");
}

template <class Base>
void rohcrd_1<Base>::createROMVariables() {
  this->addProduct("KER");
  this->addProduct("DSL");
  this->createKERVariables();
  this->createDSLVariables();
  this->addRecycleRate(100.0);
  Base::createROMVariables();
}

template <class Base>
void rohcrd_1<Base>::createROMEquations() {
  this->createConvCalcEquation();
  Base::createROMEquations();
}

template <class Base>
void rohcrd_1<Base>::setPELMOVarValues(long long& status) {
  const bool enteredOk = status == 0;
  bool failed = this->m_varMan.setUpper("IC4VOL", 1000.0) != 0;
  if (!this->writeValue("KERCUTOFF", kCutOff)) failed = true;
  if (!this->writeValue("DSLCUTOFF", kCutOff)) failed = true;
  if (enteredOk) Base::setPELMOVarValues(status);
  // The base step starts from status 0; a failure here must not be lost to it.
  if (failed && status == 0) status = 1;
}

template <class Base>
void rohcrd_1<Base>::setPELMOVarSpecs(long long& status) {
  this->specifyTotalConversion(status);
}

template <class Base>
void rohcrd_1<Base>::createIndexEquations() {
  this->createKERIndexEquations();
  this->createDSLIndexEquations();
  Base::createIndexEquations();
}

// ---- "HCR_K" ------------------------------------------------------------------

template <class Base>
rohcrk_1<Base>::rohcrk_1(const char* name, VerInfo version) : Base(name, version) {
  this->setModelKind("HCR_K");
}

template <class Base>
void rohcrk_1<Base>::createROMVariables() {
  this->addProduct("KER");
  this->addRecycleRate(80.0);
  this->createKERVariables();
  Base::createROMVariables();
}

template <class Base>
void rohcrk_1<Base>::createROMEquations() {
  this->createConvCalcEquation();
  Base::createROMEquations();
}

template <class Base>
void rohcrk_1<Base>::setPELMOVarValues(long long& status) {
  if (status == 0) Base::setPELMOVarValues(status);
  if (!this->writeValue("KERCUTOFF", kCutOff) && status == 0) status = 1;
}

template <class Base>
void rohcrk_1<Base>::setPELMOVarSpecs(long long& status) {
  this->specifyTotalConversion(status);
}

template <class Base>
void rohcrk_1<Base>::createIndexEquations() {
  this->createKERIndexEquations();
  Base::createIndexEquations();
}

// ---- "HCR_MILD" ---------------------------------------------------------------

template <class Base>
rohcrmild_1<Base>::rohcrmild_1(const char* name, VerInfo version) : Base(name, version) {
  this->setModelKind("HCR_MILD");
}

template <class Base>
void rohcrmild_1<Base>::createROMVariables() {
  this->addProduct("KER");
  this->addProduct("DSL");
  this->createKERVariables();
  this->createDSLVariables();
  Base::createROMVariables();
}

template <class Base>
void rohcrmild_1<Base>::setPELMOVarValues(long long& status) {
  const bool enteredOk = status == 0;
  bool failed = !this->writeValue("KERCUTOFF", kCutOff);
  if (!this->writeValue("DSLCUTOFF", kCutOff)) failed = true;
  if (enteredOk) Base::setPELMOVarValues(status);
  if (failed && status == 0) status = 1;
}

template <class Base>
void rohcrmild_1<Base>::setPELMOVarSpecs(long long& status) {
  Base::setPELMOVarSpecs(status);
  // Without a recycle nothing computes TOTCONV; a free variable without an
  // equation would leave the block one equation short.
  if (this->m_varMan.setVarSpec("TOTCONV", "CONST") != 0 && status == 0) status = 1;
}

template <class Base>
void rohcrmild_1<Base>::createIndexEquations() {
  this->createKERIndexEquations();
  this->createDSLIndexEquations();
  Base::createIndexEquations();
}

// ---- "HCR_N" ------------------------------------------------------------------

template <class Base>
rohcrn_1<Base>::rohcrn_1(const char* name, VerInfo version) : Base(name, version) {
  this->setModelKind("HCR_N");
}

template <class Base>
void rohcrn_1<Base>::createROMVariables() {
  this->addRecycleRate(100.0);
  Base::createROMVariables();
}

template <class Base>
void rohcrn_1<Base>::createROMEquations() {
  this->createConvCalcEquation();
  Base::createROMEquations();
}

template <class Base>
void rohcrn_1<Base>::setPELMOVarSpecs(long long& status) {
  this->specifyTotalConversion(status);
}

template class rohcrd_1<hcrbase_1>;
template class rohcrk_1<hcrbase_1>;
template class rohcrmild_1<hcrbase_1>;
template class rohcrn_1<hcrbase_1>;
