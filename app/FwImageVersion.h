// The version of the firmware image the updater carries, in the driver's first reading's form
// (byte 0 = 1, byte 1 = 64). The image's resource id has the same value by coincidence only.
#pragma once

#define FW_IMAGE_VERSION 164
