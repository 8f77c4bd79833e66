// rotuningmodel: the input tags of each reactor kind, the collection of the
// variables' values before an evaluation, and the network runs that give the
// prediction of every data point.
//
// One runner per network per run: configured, opened once, run for every
// point (the inputs of point p are the attributes <TAG>_<p> of the tags the
// network names), closed and deleted on every path.
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/helpers.h"
#include "core/network_runner.h"
#include "tuning/rotuningmodel.h"

namespace {

// The "VB_SKR" networks take the feed mass in pounds per hour.
constexpr double kPoundsPerKilogram = 2.20462;

// ---- Tag lists -----------------------------------------------------------------

// A tag present only for some kinds: when RX equals one of the texts (exact),
// or contains one of them.
struct TagRow {
  const char* tag;
  enum Rule { kAlways, kRxEquals, kRxContains } rule = kAlways;
  std::vector<const char*> texts = {};
};

const std::vector<TagRow>& fccTags() {
  static const std::vector<TagRow> rows{
      {"FEEDMASS"},
      {"FEEDSG"},
      {"FEEDSUL"},
      {"FEEDBN2"},
      {"FEEDCCR"},
      {"FEEDNICKEL"},
      {"FEEDVANADIUM"},
      {"REACTORPLENUMTEMP"},
      {"FEEDTEMP"},
      {"CATCOOLERDUTY"},
      {"ECATMAT"},
      {"FEEDT50"},
      {"LCNECP"},
      {"MCNECP", TagRow::kRxEquals, {"FCC_GO_3N", "FCC_GO_3N1H", "FCC_GOR_3N", "FCC_GOR_3N1H"}},
      {"HCNECP"},
      {"LCOECP"},
      {"HCOECP", TagRow::kRxEquals, {"FCC_GO_2N1H", "FCC_GO_3N1H", "FCC_GOR_2N1H", "FCC_GOR_3N1H"}},
      {"ZSMPCT"},
  };
  return rows;
}

const std::vector<TagRow>& refTags() {
  static const std::vector<TagRow> rows{
      {"FEEDMASS"}, {"FEEDAROM"}, {"FEEDNAPH"}, {"TARGETRON"}, {"CATAGE", TagRow::kRxContains, {"REF_SEMI_"}},
      {"MEABP"},
  };
  return rows;
}

const std::vector<TagRow>& hcrTags() {
  static const std::vector<TagRow> rows{
      {"FEEDMASS"}, {"CONVERSION"}, {"RCYRATE"}, {"CATAGE"},  {"FEEDSG"}, {"FEEDT50"},
      {"FEEDSUL"},  {"FEEDNIT"},    {"FEEDBRNO"}, {"LCNECP"}, {"HCNECP"},
      {"KERECP", TagRow::kRxContains, {"HCR_K"}},
      {"KERECP", TagRow::kRxContains, {"HCR_D", "HCR_MILD"}},
      {"DSLECP", TagRow::kRxContains, {"HCR_D", "HCR_MILD"}},
  };
  return rows;
}

const std::vector<TagRow>& vbTags() {
  static const std::vector<TagRow> rows{
      {"FEEDMASS"}, {"FEEDSG"},      {"FEEDVBI"}, {"FEEDSUL"}, {"FEEDVANADIUM"}, {"FEEDNIT"},
      {"FURNACETEMP"}, {"FEEDCCR"}, {"NAPECP"},  {"LGOECP"},  {"HGOECP"},
  };
  return rows;
}

const std::vector<TagRow>& cokTags() {
  static const std::vector<TagRow> rows{
      {"FEEDMASS"}, {"DRUMINLETTEMP"}, {"DRUMINLETPRES"}, {"COMBINEDFEEDRATIO"}, {"FEEDSG"}, {"FEEDSUL"},
      {"FEEDCCR"},  {"FEEDNIT"},       {"LCNECP"},        {"HCNECP"},            {"LGOECP"},
  };
  return rows;
}

bool applies(const TagRow& row, const std::string& rx) {
  for (const char* text : row.texts) {
    if (row.rule == TagRow::kRxEquals && rx == text) return true;
    if (row.rule == TagRow::kRxContains && rx.find(text) != std::string::npos) return true;
  }
  return row.rule == TagRow::kAlways;
}

// ---- Inputs ----------------------------------------------------------------------

// Fills the inputs of one network for one point: the upper-cased tag names in
// the network's order, with their values; value(tag) gives the value of an
// upper-cased tag. Status 1 for a tag the buffers cannot hold (over 99
// characters: refused, never cut) or a runner that reports an absurd count.
template <class ValueOf>
int collectInputs(DIVeduded& runner, NetworkInputs& in, ValueOf&& value) {
  long count = 0;
  runner.GetIndependentTagCount(count);
  if (count < 0 || count > kMaxNetworkTags) return 1;
  const auto n = static_cast<std::size_t>(count);
  in.names = NameBuffers(n);
  in.values.assign(n, 0.0);
  for (std::size_t k = 0; k < n; ++k) {
    char* tag = nullptr;
    if (runner.GetIndependentTagByIndex(static_cast<int>(k) + 1, tag) != 0 || !tag) return 1;
    const std::size_t length = strnlen(tag, DIV_NAME_BUF);
    if (length >= DIV_NAME_BUF) return 1;
    const std::string upper = toUpper(std::string(tag, length));
    std::memcpy(in.names.buffers[k].data(), upper.c_str(), upper.size() + 1);
    in.values[k] = value(upper);
  }
  return 0;
}

}  // namespace

std::vector<std::string> rotuningmodel::inputTags(const std::string& rx) {
  struct Kind {
    const char* text;
    const std::vector<TagRow>& (*rows)();
  };
  static constexpr Kind kKinds[] = {
      {"FCC_", &fccTags}, {"REF_", &refTags}, {"VB_", &vbTags}, {"COK", &cokTags}, {"HCR", &hcrTags}};
  std::vector<std::string> tags;
  for (const Kind& kind : kKinds) {
    if (rx.find(kind.text) == std::string::npos) continue;
    for (const TagRow& row : kind.rows()) {
      if (!applies(row, rx)) continue;
      // A tag enters once, even when two of its conditions hold.
      bool present = false;
      for (const std::string& t : tags) present = present || t == row.tag;
      if (!present) tags.emplace_back(row.tag);
    }
    break;
  }
  return tags;
}

int rotuningmodel::getVarValues(const OneBased<double>& values, int offset) const {
  for (const auto& [name, index] : m_varIndex) m_varValues[name] = values.at(offset + index);
  // The overcrack variables act through the networks: they run at every evaluation.
  if (overcrack()) m_runPending = true;
  int status = 0;
  if (m_runPending) {
    status = runNN();
    // A failed run stays pending: the next evaluation runs again instead of
    // working with predictions that were never made.
    if (status == 0) m_runPending = false;
  }
  return status;
}

int rotuningmodel::runNN() const {
  if (overcrack()) return runNNDiff(m_depVar + "TOTAL", m_depVar + "DIFF");

  RunnerPtr runner = configuredRunner(m_rx, m_depVar);
  int status = runner->Open();
  if (status != 0) return status;
  const bool poundsFeed = m_rx == "VB_SKR";
  NetworkInputs in;
  for (int p = 0; p < m_nData; ++p) {
    status = collectInputs(*runner, in, [&](const std::string& tag) {
      const double x = pointInput(tag, p);
      return poundsFeed && tag == "FEEDMASS" ? x * kPoundsPerKilogram : x;
    });
    if (status != 0) return status;
    in.give(*runner);
    status = runner->Run();
    if (status != 0) return status;  // the later points keep their predictions
    m_nnPredictions.at(static_cast<std::size_t>(p)) = runner->m_dResult;
  }
  return status;
}

int rotuningmodel::runNNDiff(std::string total, std::string diff) const {
  RunnerPtr a = configuredRunner(m_rx, total);
  RunnerPtr b = configuredRunner(m_rx, diff);
  // A runner that did not open answers no tags and refuses to run, so a
  // failed Open ends the run at the first point.
  a->Open();
  b->Open();
  const double param = varValue("OVERCRACK_PARAM");
  const double rate = varValue("OVERCRACK_RATE");
  NetworkInputs inA, inB;
  int status = 0;
  for (int p = 0; p < m_nData; ++p) {
    status = collectInputs(*a, inA, [&](const std::string& tag) { return pointInput(tag, p); });
    if (status != 0) return status;
    status = collectInputs(*b, inB, [&](const std::string& tag) {
      const double x = pointInput(tag, p);
      return tag == "REACTORPLENUMTEMP" ? x * param : x;
    });
    if (status != 0) return status;
    inA.give(*a);
    inB.give(*b);
    if ((status = a->Run()) != 0) return status;
    if ((status = b->Run()) != 0) return status;

    const std::size_t nB = inB.values.size();
    NameBuffers tags(nB);
    std::vector<double> slopes(nB, 0.0);
    if (nB > 0 && b->GetDerivatives(tags.pointers.data(), slopes.data()) != 0) return 1;

    const auto k = static_cast<std::size_t>(p);
    m_nnPredictions.at(k) = a->m_dResult - b->m_dResult * rate;
    m_diffPredictions.at(k) = b->m_dResult;
    // By the upper-cased names given to the runner, in the same tag order.
    for (std::size_t t = 0; t < nB; ++t) m_diffDerivatives.at(k)[inB.names.text(t)] = -slopes[t];
  }
  return status;
}
