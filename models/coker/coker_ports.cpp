// The coker's constant values and the contents of its volume, result and
// output ports.
#include <string>

#include "core/helpers.h"
#include "models/coker/coker_tables.h"
#include "models/coker/rocoker.h"

namespace {

// "H2SMW" is written too: the volume and mole conversions of H2S multiply by
// it, and a fixed variable keeps whatever value it holds.
constexpr ConstantValue kConstantValues[] = {
    {"COKFOEFACTOR", 1.24}, {"H2SFOEFACTOR", 2.6145}, {"FGSFOEFACTOR", 0.811249393},
    {"FGSMW", 23.0565},     {"C3SG", 0.5085},         {"C32SG", 0.5194},
    {"IC4SG", 0.5646},      {"NC4SG", 0.5948},        {"UC4SG", 0.6008},
    {"H2SMW", 34.08088},
};

}  // namespace

namespace coker {

const std::array<const char*, 47> kResultPort = {{
    "UNSATINC3MIXVOL", "SATINC3MIXVOL", "UNSATINC4MIXVOL", "NSATINC4MIXVOL", "ISATINC4MIXVOL", "UNSATINC3MIX",
    "SATINC3MIX",      "UNSATINC4MIX",  "NSATINC4MIX",     "ISATINC4MIX",    "FGSMOL",         "H2SMOL",
    "LCNSG",           "LCNSUL",        "LCNSULPPM",       "LCNAROM",        "LCNOLEF",        "LCNNAPH",
    "LCNN2A",          "HCNSG",         "HCNSUL",          "HCNSULPPM",      "HCNAROM",        "HCNOLEF",
    "HCNNAPH",         "HCNN2A",        "LGOSG",           "LGOSUL",         "LGOSULPPM",      "LGOVISC_122",
    "LGOD86_50",       "LGONIT",        "LGOCLOUDPT",      "LGOCETNO",       "LGOCETIDX",      "LGOVISCIDX",
    "LGOCLOUDIDX",     "HGOSG",         "HGOD86_50",       "HGOSUL",         "HGOSULPPM",      "HGOANI",
    "HGOVISC_122",     "HGONIT",        "HGOVISCIDX",      "COKSUL",         "COKSULPPM",
}};

}  // namespace coker

namespace {

// Unlike the result port: no ppm variable.
constexpr const char* kOutputPort[] = {
    "C3VOL",           "C32VOL",        "NC4VOL",          "IC4VOL",         "UC4VOL",         "LCNVOL",
    "HCNVOL",          "LGOVOL",        "HGOVOL",          "COKVOL",         "C3MIXVOL",       "C4MIXVOL",
    "UNSATINC3MIXVOL", "SATINC3MIXVOL", "UNSATINC4MIXVOL", "NSATINC4MIXVOL", "ISATINC4MIXVOL", "C3MASS",
    "C32MASS",         "NC4MASS",       "IC4MASS",         "UC4MASS",        "LCNMASS",        "HCNMASS",
    "LGOMASS",         "HGOMASS",       "COKMASS",         "C3MIXMASS",      "C4MIXMASS",      "UNSATINC3MIX",
    "SATINC3MIX",      "UNSATINC4MIX",  "NSATINC4MIX",     "ISATINC4MIX",    "FGSMOL",         "H2SMOL",
    "FGSVOL",          "H2SVOL",        "FGSMASS",         "H2SMASS",        "LCNSG",          "LCNSUL",
    "LCNAROM",         "LCNOLEF",       "LCNNAPH",         "LCNN2A",         "HCNSG",          "HCNSUL",
    "HCNAROM",         "HCNOLEF",       "HCNNAPH",         "HCNN2A",         "LGOSG",          "LGOSUL",
    "LGOVISC_122",     "LGOD86_50",     "LGONIT",          "LGOCLOUDPT",     "LGOCETNO",       "LGOCETIDX",
    "LGOVISCIDX",      "LGOCLOUDIDX",   "HGOSG",           "HGOD86_50",      "HGOSUL",         "HGOANI",
    "HGOVISC_122",     "HGONIT",        "HGOVISCIDX",      "COKSUL",
};

static_assert(std::size(kOutputPort) == 70);

}  // namespace

void rocoker::setPELMOVarValues(long long& status) {
  status = 0;
  // Every constant is written; one failure makes the status 1.
  if (writeConstants(kConstantValues) != 0) status = 1;
}

void rocoker::addVarsToVolPort(qiv_port* port) {
  robase::addVarsToVolPort(port);
  addPELMOVarToPort(port, at_or_throw(m_calcVars, std::string("C3MIXVOL")));
  addPELMOVarToPort(port, at_or_throw(m_calcVars, std::string("C4MIXVOL")));
}

void rocoker::addVarsToResultPort(qiv_port* port) { addNamesToPort(port, coker::kResultPort); }

void rocoker::addVarsToOutputPort(qiv_port* port) { addNamesToPort(port, kOutputPort); }
