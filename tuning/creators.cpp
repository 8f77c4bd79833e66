// The creators the "ROTUNING" and "ROTUNINGBALANCE" factories call. A block
// is constructed complete; the factory turns a constructor's exception (a
// configuration beyond the tuning model's declared sizes) into no block.
#include "plugin/creators.h"
#include "tuning/rotuningbalance.h"
#include "tuning/rotuningmodel.h"

std::unique_ptr<QivEOBlock> createTuningModelBlock(const char* name, const std::string& rx, const std::string& depvar,
                                                   int ndata) {
  return std::make_unique<rotuningmodel>(name, rx.c_str(), depvar.c_str(), ndata);
}

std::unique_ptr<QivEOBlock> createTuningBalanceBlock(TuningBalanceForm form, const char* name, const std::string& rx) {
  switch (form) {
    case TuningBalanceForm::FCC: return std::make_unique<rotuningbalanceFCC>(name, rx.c_str());
    case TuningBalanceForm::REF: return std::make_unique<rotuningbalanceREF>(name, rx.c_str());
    case TuningBalanceForm::VB: return std::make_unique<rotuningbalanceVB>(name, rx.c_str());
    case TuningBalanceForm::COK: return std::make_unique<rotuningbalanceCOK>(name, rx.c_str());
    case TuningBalanceForm::HCR: return std::make_unique<rotuningbalanceHCR>(name, rx.c_str());
    case TuningBalanceForm::Base: return std::make_unique<rotuningbalance>(name, rx.c_str());
  }
  return nullptr;
}
