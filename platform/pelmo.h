// Everything of the framework that the library uses.
#pragma once

#include "platform/com.h"
#include "platform/crt.h"
#include "platform/eqnlist.h"
#include "platform/factory.h"
#include "platform/jacobian.h"
#include "platform/ports.h"
#include "platform/qivblock.h"
#include "platform/registry.h"
#include "platform/rtdev.h"
#include "platform/storage.h"
#include "platform/values.h"
#include "platform/varlist.h"
