// The sixty-six FCC model equations by short name, in the FCC equation order
// (the order of the res_, pat_ and jac_ operations of rofcc and of FccEq).
// Expanded where one line per equation would only repeat the name.
#pragma once

#define ROFCC_EQUATIONS(X) \
  X(FGSMass) X(C3Mass) X(C32Mass) X(NC4Mass) X(IC4Mass) X(UC4Mass) \
  X(C5SMass) X(LCNMass) X(MCNMass) X(HCNMass) X(LCOMass) X(HCOMass) \
  X(BOTMass) X(COKMass) X(COKFOE) X(FGSFOE) X(H2SFOE) X(C3MixMass) \
  X(C3MixVol) X(C4MixMass) X(C4MixVol) X(UnSatInC3Mix) X(SatInC3Mix) X(UnSatInC4Mix) \
  X(NSatInC4Mix) X(ISatInC4Mix) X(UnSatInC3MixVol) X(SatInC3MixVol) X(UnSatInC4MixVol) X(NSatInC4MixVol) \
  X(ISatInC4MixVol) X(FeedSulMass) X(C5SSulMass) X(LCNSulMass) X(MCNSulMass) X(HCNSulMass) \
  X(LCOSulMass) X(HCOSulMass) X(BOTSulMass) X(COKSulMass) X(C5SSul) X(LCNSul) \
  X(MCNSul) X(HCNSul) X(LCOSul) X(HCOSul) X(BOTSul) X(COKSul) \
  X(FeedVol) X(C3Vol) X(C32Vol) X(NC4Vol) X(IC4Vol) X(UC4Vol) \
  X(C5SVol) X(LCNVol) X(MCNVol) X(HCNVol) X(LCOVol) X(HCOVol) \
  X(BOTVol) X(FGSMol) X(H2SMol) X(C5SRVI) X(Conversion) X(H2SMass)
