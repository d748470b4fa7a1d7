// The C runtime has _splitpath and _MAX_PATH of its own.
#pragma once

#include <cstdio>
#include <cstdlib>
