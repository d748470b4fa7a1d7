#pragma once
#include "platform/sdk.h"

#include <commctrl.h>
