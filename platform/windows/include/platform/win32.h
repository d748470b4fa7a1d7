#pragma once
#include "platform/sdk.h"

#include <olectl.h>
