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

#include <string_view>

#include "core/helpers.h"
#include "tuning/rotuningmodel_runs.h"

namespace {

// The "VB_SKR" networks take the feed mass in pounds per hour.
constexpr double kPoundsPerKilogram = 2.20462;
// The difference network of the overcrack case sees the plenum temperature
// times OVERCRACK_PARAM.
constexpr const char* kPlenumTag = "REACTORPLENUMTEMP";

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

// ---- Runs --------------------------------------------------------------------------

int rotuningmodel::givePointInputs(DIVeduded& runner, NetworkRun& run, int point, double scaleBy) const {
  if (point == 0) {
    long count = 0;
    runner.GetIndependentTagCount(count);
    if (count < 0 || count > kMaxNetworkTags) return 1;
    const auto n = static_cast<std::size_t>(count);
    bool same = run.given.size() == n;
    // A match that stops half way (a tag that cannot be read, or out of
    // memory) is forgotten: the next run matches the tags anew instead of
    // taking the new tags for matched.
    struct ForgetUnlessWhole {
      std::vector<std::string>& given;
      bool whole = false;
      ~ForgetUnlessWhole() {
        if (!whole) given.clear();
      }
    } match{run.given};
    if (!same) {
      run.given.resize(n);
      run.upper.resize(n);
    }
    for (std::size_t k = 0; k < n; ++k) {
      char* tag = nullptr;
      if (runner.GetIndependentTagByIndex(static_cast<int>(k) + 1, tag) != 0 || !tag) return 1;
      const std::size_t length = strnlen(tag, DIV_NAME_BUF);
      if (length >= DIV_NAME_BUF) return 1;
      if (same && std::string_view(tag, length) != run.given[k]) same = false;
      if (!same) {
        // The tags changed: match them again from here on.
        run.given[k].assign(tag, length);
        run.upper[k] = toUpper(run.given[k]);
      }
    }
    if (!same) {
      // Also when the runner names no tag (it did not open): the tags of an
      // earlier match must not pass for this one's.
      run.names = NameBuffers(n);
      run.inputs.assign(n * static_cast<std::size_t>(m_nData), nullptr);
      run.scaled.assign(n, 0);
      const char* scaledTag = m_rx == "VB_SKR" ? "FEEDMASS" : overcrack() ? kPlenumTag : nullptr;
      for (std::size_t k = 0; k < n; ++k) {
        std::memcpy(run.names.buffers[k].data(), run.upper[k].c_str(), run.upper[k].size() + 1);
        run.scaled[k] = scaledTag && run.upper[k] == scaledTag;
        for (int p = 0; p < m_nData; ++p) {
          const auto it = m_attrValues.find(run.upper[k] + "_" + std::to_string(p));
          if (it != m_attrValues.end()) run.inputs[static_cast<std::size_t>(p) * n + k] = &it->second;
        }
      }
      run.values.assign(n, 0.0);
      ++run.matches;
    }
    match.whole = true;
  }
  const std::size_t n = run.given.size();
  for (std::size_t k = 0; k < n; ++k) {
    const double* x = run.inputs[static_cast<std::size_t>(point) * n + k];
    if (!x) throw std::out_of_range(kInvalidMapKey);  // no attribute <TAG>_<point>
    run.values[k] = run.scaled[k] ? *x * scaleBy : *x;
  }
  runner.SetInputs(run.names.pointers.data(), run.values.data(), static_cast<int>(n));
  return 0;
}

int rotuningmodel::getVarValues(const OneBased<double>& values, int offset) const {
  for (const auto& entry : m_varIndex) m_values[static_cast<std::size_t>(entry.second)] = values.at(offset + entry.second);
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
  if (!m_runs) {
    // Kept only once whole: a file name that could not be made is made at
    // the next run.
    auto runs = std::make_unique<NetworkRuns>();
    runs->single.file.set(m_rx, m_depVar);
    runs->total.file.set(m_rx, m_depVar + "TOTAL");
    runs->diff.file.set(m_rx, m_depVar + "DIFF");
    m_runs = std::move(runs);
  }
  if (overcrack()) return runNNDiff(m_runs->total.file.output, m_runs->diff.file.output);

  NetworkRuns& runs = *m_runs;
  RunnerPtr runner = runs.single.file.newRunner(runs.folder.refresh(m_rx));
  int status = runner->Open();
  if (status != 0) return status;
  for (int p = 0; p < m_nData; ++p) {
    status = givePointInputs(*runner, runs.single, p, kPoundsPerKilogram);
    if (status != 0) return status;
    status = runner->Run();
    if (status != 0) return status;  // the later points keep their predictions
    m_nnPredictions.at(static_cast<std::size_t>(p)) = runner->m_dResult;
  }
  return status;
}

int rotuningmodel::runNNDiff(std::string total, std::string diff) const {
  NetworkRuns& runs = *m_runs;
  if (runs.total.file.output != total) runs.total.file.set(m_rx, total);
  if (runs.diff.file.output != diff) runs.diff.file.set(m_rx, diff);
  const std::string& folder = runs.folder.refresh(m_rx);
  RunnerPtr a = runs.total.file.newRunner(folder);
  RunnerPtr b = runs.diff.file.newRunner(folder);
  // A runner that did not open answers no tags and refuses to run, so a
  // failed Open ends the run at the first point.
  a->Open();
  b->Open();
  const double param = m_values[static_cast<std::size_t>(m_paramAt)];
  const double rate = m_values[static_cast<std::size_t>(m_rateAt)];
  int status = 0;
  for (int p = 0; p < m_nData; ++p) {
    status = givePointInputs(*a, runs.total, p, 1.0);
    if (status != 0) return status;
    status = givePointInputs(*b, runs.diff, p, param);
    if (status != 0) return status;
    if ((status = a->Run()) != 0) return status;
    if ((status = b->Run()) != 0) return status;

    const std::size_t nB = runs.diff.values.size();
    if (runs.tags.size() != nB) runs.tags = NameBuffers(nB);
    runs.slopes.assign(nB, 0.0);
    if (nB > 0 && b->GetDerivatives(runs.tags.pointers.data(), runs.slopes.data()) != 0) return 1;

    const auto k = static_cast<std::size_t>(p);
    m_nnPredictions.at(k) = a->m_dResult - b->m_dResult * rate;
    m_diffPredictions.at(k) = b->m_dResult;
    // By the upper-cased names given to the runner, in the same tag order.
    if (runs.slotsMatch != runs.diff.matches) {
      runs.slots.assign(nB * static_cast<std::size_t>(m_nData), nullptr);
      runs.slotsMatch = runs.diff.matches;
    }
    for (std::size_t t = 0; t < nB; ++t) {
      double*& slot = runs.slots[k * nB + t];
      if (!slot) slot = &m_diffDerivatives.at(k)[runs.diff.upper[t]];
      *slot = -runs.slopes[t];
    }
  }
  return status;
}
