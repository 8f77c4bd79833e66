// roref_1: the equation objects, made by the suppliers and numbered in the
// order they are added (the layout's first, then the base's).
#include <stdexcept>
#include <string>
#include <vector>

#include "models/reformer/roref_1.h"

using ROEqnSupplier::ConversionBasisSpec;
using ROEqnSupplier::EqnPtr;
using ROEqnSupplier::kBasisMass;
using ROEqnSupplier::kBasisMoles;
using ROEqnSupplier::kBasisVolume;

namespace {

// The product hydrogen contents are held in percent; their networks work with
// fractions.
const ROEqnSupplier::NNEquationParams& networkParams() {
  static const ROEqnSupplier::NNEquationParams params{
      {{"RFTHYD", {0.01, 0.0}}, {"RF1HYD", {0.01, 0.0}}, {"RF2HYD", {0.01, 0.0}}, {"RAFHYD", {0.01, 0.0}}}, {}};
  return params;
}

// Liquid volumes of the feed and the light ends from their masses, in this order.
constexpr const char* kVolumeStreams[] = {"FEED", "C3", "IC4", "NC4", "FGS", "H2"};
constexpr const char* kMoleStreams[] = {"FGS", "H2"};

}  // namespace

void roref_1::add(EqnPtr eqn, const std::string& what) {
  if (!eqn) throw std::logic_error("the reformer suppliers made no equation for " + what);
  m_eqnMan.addEquation(std::move(eqn));
}

std::unique_ptr<ROEqnSupplier::IROGenEqn> roref_1::genSupplier() {
  auto supplier = ROEqnSupplier::createGenEqn(context(), m_version);
  if (!supplier) throw std::logic_error("no generic equation supplier for this version");
  return supplier;
}

std::unique_ptr<ROEqnSupplier::IROReacEqn> roref_1::reformerSupplier() {
  auto supplier = ROEqnSupplier::createReacEqn(m_modelKind, context(), m_version);
  if (!supplier) throw std::logic_error("no reformer equation supplier for " + m_modelKind);
  return supplier;
}

void roref_1::createROMEquations() {
  createNNEquations();

  // Product yields, hydrogen masses, "MASS_BAL" and "HYDROGEN_BAL".
  ROEqnSupplier::ReactionSpec spec;
  fillReformerReactionSpec(spec, m_modelKind);
  for (EqnPtr& eqn : genSupplier()->createBalanceEquations(spec)) add(std::move(eqn), "the balances");

  createFeedConversionEquations();

  const auto gen = genSupplier();
  const ConversionBasisSpec basis(m_hlBasis, m_leBasis);
  for (const char* stream : kMoleStreams)
    add(gen->createConversionEquation(stream, kBasisMass, kBasisMoles, &basis), std::string(stream) + "MOL");

  createFeedPropertyEquations();
}

void roref_1::createNNEquations() {
  const auto supplier = reformerSupplier();
  std::vector<std::string> inputs;
  for (const varinfo2& v : inputSet) inputs.push_back(v.name);
  for (const varinfo2& output : nnOutputSet)
    add(supplier->createNNEquation(output, inputs, networkParams()), "Y_" + output.name);
}

void roref_1::createFeedConversionEquations() {
  const auto gen = genSupplier();
  const ConversionBasisSpec basis(m_hlBasis, m_leBasis);
  for (const char* stream : kVolumeStreams)
    add(gen->createConversionEquation(stream, kBasisMass, kBasisVolume, &basis), std::string(stream) + "VOL");
}

void roref_1::createFeedPropertyEquations() {
  const auto supplier = reformerSupplier();
  for (const char* target : {"FEEDHYD", "FEEDCNO", "MEABP"}) add(supplier->createEquation(target), target);
  if (m_naFactor > 0.0)
    for (const char* target : {"FEEDAROM", "FEEDNAPH"}) add(supplier->createEquation(target), target);
}

void roref_1::addProductConversions(Ref1Layout layout) {
  const auto gen = genSupplier();
  const ConversionBasisSpec basis(m_hlBasis, m_leBasis);
  for (const std::string& p : reformerProducts(layout))
    add(gen->createConversionEquation(p, kBasisMass, kBasisVolume, &basis), p + "VOL");
}

void roref_1::addAROHYDEquation() { add(reformerSupplier()->createEquation("AROHYD"), "AROHYD"); }
