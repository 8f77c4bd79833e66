#include "plugin/factories.h"

namespace {
constexpr const char* kCreationFailed = "Block creation failed";
}

void rofactory::destroy() { delete this; }
QivEOBlock* rofactory::create(const char*, value_t*) { return nullptr; }
const char* rofactory::type_name() const { return "MORVANE"; }
const char* rofactory::error_text() const { return kCreationFailed; }
int rofactory::reserved() { return 0; }

void rotuningmodelfactory::destroy() { delete this; }
QivEOBlock* rotuningmodelfactory::create(const char*, value_t*) { return nullptr; }
const char* rotuningmodelfactory::type_name() const { return "ROTUNING"; }
const char* rotuningmodelfactory::error_text() const { return kCreationFailed; }
int rotuningmodelfactory::reserved() { return 0; }

void rotuningbalancefactory::destroy() { delete this; }
QivEOBlock* rotuningbalancefactory::create(const char*, value_t*) { return nullptr; }
const char* rotuningbalancefactory::type_name() const { return "ROTUNINGBALANCE"; }
const char* rotuningbalancefactory::error_text() const { return kCreationFailed; }
int rotuningbalancefactory::reserved() { return 0; }
