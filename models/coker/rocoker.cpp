// rocoker: construction and destruction, the framework set-up chain, the
// starting values of init, and the family's creator for the "MORVANE" factory.
#include "models/coker/rocoker.h"

#include <cmath>
#include <string>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "models/coker/coker_tables.h"
#include "models/coker/rocoker_1.h"
#include "plugin/creators.h"

namespace {

// Products whose sulfur masses get starting values, by stream prefix.
constexpr const char* kSulfurStreams[] = {"LCN", "HCN", "LGO", "HGO", "COK"};

}  // namespace

rocoker::rocoker(const char* name) : robase(name) {
  makeBalanceRefs();
  rocoker::commonConstructor();
  m_massBalEqn = nullptr;
}

rocoker::~rocoker() {
  rocoker::commonDestructor();
  robase::commonDestructor();
}

void rocoker::commonConstructor() {
  m_modelKind = "COKER";
  m_rows.clear();
  m_rowRegistered.clear();
  m_patternDone = false;
  for (auto& eqn : m_ownEqns) eqn.reset();
}

void rocoker::commonDestructor() {
  // The rows refer to records about to go.
  m_rows.clear();
  m_rowRegistered.clear();
  m_patternDone = false;
  for (auto& eqn : m_ownEqns) eqn.reset();
}

void rocoker::user_ini(long long& status) { runUserIniSteps(status); }

void rocoker::init(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const OneBased<double> x = valueView();
    if (!x.valid()) {
      status = 1;
      return;
    }
    // On a volume HL basis the feed is given by volume (CUM/HR); its mass
    // (KG/HR) is what the networks take.
    if (m_hlBasis == BASIS_VOLUME) {
      const ROMVar& feedMass = *at_or_throw(m_inputVars, std::string("FEEDMASS"));
      const double feedVol = currentValue(*at_or_throw(m_volumeVars, std::string("FEEDVOL")));
      const double feedSg = currentValue(*at_or_throw(m_inputVars, std::string("FEEDSG")));
      const double mass = feedVol * feedSg * 1000.0;
      if (!std::isfinite(mass)) {
        status = 1;  // never stored
        return;
      }
      x.at(varNumber(feedMass)) = mass;
    }
    // A network that does not open or run returns the runner's status and
    // prints nothing: the host names the file from the runner's record.
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;
      return;
    }
    writeStartingValues(status);
  });
}

void rocoker::writeStartingValues(long long& status) const {
  // Each product's sulfur mass as the equations give it at MASSFACTOR 1, from
  // the current yields and relative sulfur factors; H2S takes the sulfur left
  // (not below its bound 0, a start outside the bounds helps no solver).
  const OneBased<double> x = valueView();
  const double feedMass = currentValue(*at_or_throw(m_inputVars, std::string("FEEDMASS")));
  const double feedSul = currentValue(*at_or_throw(m_inputVars, std::string("FEEDSUL")));
  long long st = 0;
  const auto floored = [&](const std::string& name) {
    double f = 0.0;
    if (res_ExpMinClip(currentValue(*at_or_throw(m_nnOutputVars, name)), coker::kYieldFloor, &f) != 0) st = 1;
    return f;
  };

  double sulfurLeft = feedMass * feedSul / 100.0;
  double sulfurMass[std::size(kSulfurStreams)];
  for (std::size_t i = 0; i < std::size(kSulfurStreams); ++i) {
    const std::string s = kSulfurStreams[i];
    const double productMass = floored(s + "FRAC") * feedMass;
    sulfurMass[i] = floored(s + "RELSUL") * productMass * feedSul / 100.0;
    sulfurLeft -= sulfurMass[i];
  }
  double h2sMass = sulfurLeft / coker::kH2SSulfurShare;
  if (h2sMass < 0.0) h2sMass = 0.0;

  // All six or none: a starting value is never non-finite.
  bool finite = std::isfinite(h2sMass);
  for (double m : sulfurMass) finite = finite && std::isfinite(m);
  if (st != 0 || !finite) {
    status = 1;
    return;
  }
  x.at(varNumber(*at_or_throw(m_calcVars, std::string("H2SMASS")))) = h2sMass;
  for (std::size_t i = 0; i < std::size(kSulfurStreams); ++i)
    x.at(varNumber(*at_or_throw(m_calcVars, std::string(kSulfurStreams[i]) + "SULMASS"))) = sulfurMass[i];
}

// ---- Creator of the coker family ----------------------------------------------

std::unique_ptr<robase> createCokerBlock(const BlockRequest& request) {
  if (request.generation == BlockGeneration::Second) return std::make_unique<rocoker_1>(request.name, request.version);
  return std::make_unique<rocoker>(request.name);
}
