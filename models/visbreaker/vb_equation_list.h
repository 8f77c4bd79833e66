// The 54 visbreaker equation tags in the order of the res_, pat_ and jac_
// members of rovb. Expanded where one line per equation would only repeat the
// tag: the member declarations, their definitions and the table of them.
#pragma once

#define ROVB_EQUATIONS(X)                                                                                          \
  X(MassBal) X(SulfurBal) X(FGSMass) X(C3Mass) X(C32Mass) X(NC4Mass) X(IC4Mass) X(UC4Mass) X(NAPMass) X(LGOMass)    \
  X(HGOMass) X(TARMass) X(FGSFOE) X(H2SFOE) X(C3MixMass) X(C3MixVol) X(C4MixMass) X(C4MixVol) X(UnSatInC3Mix)      \
  X(SatInC3Mix) X(UnSatInC4Mix) X(NSatInC4Mix) X(ISatInC4Mix) X(UnSatInC3MixVol) X(SatInC3MixVol)                  \
  X(UnSatInC4MixVol) X(NSatInC4MixVol) X(ISatInC4MixVol) X(FeedSulMass) X(NAPSulMass) X(LGOSulMass) X(HGOSulMass)  \
  X(TARSulMass) X(NAPSul) X(LGOSul) X(HGOSul) X(TARSul) X(FeedVol) X(C3Vol) X(C32Vol) X(NC4Vol) X(IC4Vol) X(UC4Vol) \
  X(NAPVol) X(LGOVol) X(HGOVol) X(TARVol) X(FGSMol) X(H2SMol) X(LGOVBI) X(HGOVBI) X(TARVBI) X(FEEDVBI)              \
  X(FurnaceTemp)
