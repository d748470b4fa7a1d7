#pragma once
#include "platform/sdk.h"

#include <ole2.h>
#include <olectl.h>
