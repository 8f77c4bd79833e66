// The plug-in's entry points, exported with C linkage. The framework asks for
// the interface versions and the identity, then initialises the library with its
// output pipe and factory library, and unloads it the same way.
#pragma once

#include "platform/factory.h"
#include "platform/rtdev.h"

extern "C" {
int qivdll_version(const char* kind, int* major, int* minor);
const char* qivdll_identity();
int qivdll_init(QivPipe* pipe, QivFactoryLib* lib);
int qivdll_unload(QivPipe* pipe, QivFactoryLib* lib);
}
