#pragma once
#include "platform/sdk.h"
