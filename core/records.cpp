#include "core/records.h"

#include <utility>

ROMVar::ROMVar(std::string name_, std::string baseUnit_, std::string dispUnit_, int index_, double lower_,
               double upper_)
    : name(std::move(name_)),
      dispUnit(std::move(dispUnit_)),
      baseUnit(std::move(baseUnit_)),
      index(index_),
      lower(lower_),
      upper(upper_) {}

ROMVar::ROMVar(std::string name_, std::string unit, int index_) : ROMVar(std::move(name_), unit, unit, index_, -1e30, 1e30) {}

ROMVar::ROMVar(std::string name_, std::string unit, int index_, double lower_, double upper_)
    : ROMVar(std::move(name_), unit, unit, index_, lower_, upper_) {}

ROMEqn::ROMEqn(std::string name_, int index_) : name(std::move(name_)), index(index_) {}

ROMAttr::ROMAttr(std::string name_, int code_, std::string /*description*/, double value_, int number_)
    : name(std::move(name_)), code(code_), value(value_), number(number_) {}

ROMAttr::ROMAttr(std::string name_, double value_, int number_)
    : name(std::move(name_)), code(0), value(value_), number(number_) {}

varinfo2::varinfo2(std::string name_, std::string unit, double lower_, double upper_)
    : name(std::move(name_)), dispUnit(unit), baseUnit(unit), lower(lower_), upper(upper_) {}

varinfo2::varinfo2(std::string name_, std::string baseUnit_, std::string dispUnit_, double lower_, double upper_)
    : name(std::move(name_)),
      dispUnit(std::move(dispUnit_)),
      baseUnit(std::move(baseUnit_)),
      lower(lower_),
      upper(upper_) {}
