// rofcc_1: construction, the name sets, the overcracking attributes and the
// two ports the block fills itself.
#include "models/fcc/rofcc_1.h"

#include <iterator>
#include <string>

namespace {

// An overcracking attribute is a real tuning factor of the paired networks.
constexpr int kOvercrackCode = 3;
constexpr double kOvercrackDefault = 1.0;

// "OUTRES" of rofcc_1, in port order.
constexpr const char* kResultPort[] = {
    // mix shares by volume, then by mass
    "SATINC3MIXVOL", "UNSATINC3MIXVOL", "NSATINC4MIXVOL", "ISATINC4MIXVOL", "UNSATINC4MIXVOL", "ISATINC5MIXVOL",
    "USATINC5MIXVOL", "NSATINC5MIXVOL", "NAPSATINC5MIXVOL", "SATINC3MIX", "UNSATINC3MIX", "UNSATINC4MIX",
    "NSATINC4MIX", "ISATINC4MIX",
    // gas moles
    "FGSMOL", "H2SMOL",
    // C5+ naphtha, conversion
    "C5SSG", "C5SRON", "C5SMON", "C5SAROM", "C5SOLEF", "C5SRVP", "C5SRVI", "CONVERSION",
    // sulfur in percent, then in ppm
    "C5SSUL", "LCNSUL", "HCNSUL", "LCOSUL", "BOTSUL", "COKSUL", "C5SSULPPM", "LCNSULPPM", "HCNSULPPM", "LCOSULPPM",
    "BOTSULPPM", "COKSULPPM",
    // gravities, regenerator
    "LCNSG", "HCNSG", "LCOSG", "BOTSG", "BURNAIRMOLFLOW", "REGENBEDTEMP", "CATTOOILRATIO",
    // naphtha, cycle oil and bottoms properties
    "LCNRON", "LCNMON", "LCNRVP", "LCNAROM", "LCNOLEF", "LCNBEN", "HCNRON", "HCNMON", "HCNRVP", "HCNAROM", "HCNOLEF",
    "HCNCLOUDPT", "HCNVISC_122", "LCOD86_50", "LCONIT", "LCOCCR", "LCOAROM", "LCOVISC_122", "LCOCLOUDPT",
    "BOTVISC_122", "BOTCCR"};
static_assert(std::size(kResultPort) == 64);

// The slates' own results, ahead of those of rofcc_1.
constexpr const char* kMcnResults[] = {"MCNSUL", "MCNSULPPM", "MCNSG",   "MCNRON",
                                       "MCNMON", "MCNRVP",    "MCNAROM", "MCNOLEF"};
constexpr const char* kHcoResults[] = {"HCOSUL",  "HCOSULPPM", "HCOSG",       "HCONIT",
                                       "HCOCCR", "HCOAROM",   "HCOVISC_122", "HCOCLOUDPT"};

}  // namespace

rofcc_1::rofcc_1(const char* name, VerInfo version)
    : robase2(name, version),
      m_productSet{"BOT", "C5S", "COK", "HCN", "LCN", "LCO"},
      m_streamSet{"BOT", "C3",  "C32", "C5S",    "COK", "FEED", "FGS", "H2S", "HCN",
                  "IC4", "IC5S", "LCN", "LCO", "NAPC5S", "NC4", "NC5S", "UC4", "UC5S"},
      m_gasSet{"FGS", "H2S"},
      // SATINC4MIXVOL names no variable and excludes nothing.
      m_volumeExclusion{"FEEDVOL",        "ISATINC4MIXVOL", "ISATINC5MIXVOL",  "NAPSATINC5MIXVOL",
                        "NSATINC4MIXVOL", "NSATINC5MIXVOL", "SATINC3MIXVOL",   "SATINC4MIXVOL",
                        "UNSATINC3MIXVOL", "UNSATINC4MIXVOL", "USATINC5MIXVOL"} {}

rofcc_1::~rofcc_1() = default;

void rofcc_1::setupAttributes() {
  robase2::setupAttributes();
  int number = static_cast<int>(m_attributes.size());
  for (const std::string& cut : fccOvercrackCuts()) {
    putRecord(m_attributes, new ROMAttr(cut + "_OVERCRACK_PARAM", kOvercrackCode, "", kOvercrackDefault, number++));
    putRecord(m_attributes, new ROMAttr(cut + "_OVERCRACK_RATE", kOvercrackCode, "", kOvercrackDefault, number++));
  }
}

void rofcc_1::addSlateStreams(Fcc1Slate slate) {
  // The stream set gives a cut its volume conversion, the product set its sulfur ppm.
  for (std::set<std::string>* set : {&m_streamSet, &m_productSet}) {
    if (fcc1HasMcn(slate)) set->insert("MCN");
    if (fcc1HasHco(slate)) set->insert("HCO");
  }
}

void rofcc_1::addVarsToVolPort(qiv_port* port) {
  // The feed's volume is an input (or follows from it), the mix shares are ratios.
  addVarsToPortBySuffix(port, std::string("VOL"), calcSet, m_volumeExclusion);
}

void rofcc_1::addSlateResults(qiv_port* port, Fcc1Slate slate) {
  if (fcc1HasMcn(slate)) addNamesToPort(port, kMcnResults);
  if (fcc1HasHco(slate)) addNamesToPort(port, kHcoResults);
}

void rofcc_1::addVarsToResultPort(qiv_port* port) { addNamesToPort(port, kResultPort); }
