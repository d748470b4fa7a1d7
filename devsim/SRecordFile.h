// Motorola S-record files for the flash: a strict reader for initial contents (every
// checksum is checked, 16-bit addresses only) and a writer for dumps.
#pragma once

#include "FlashMemory.h"

#include <string>

namespace devsim {

// Loads the records of `path` over `flash`; returns false with a message naming the line.
bool LoadSRecordFile(const std::string& path, FlashMemory& flash, std::string& error);
// Parses S-record text already in memory; same rules as the file reader.
bool LoadSRecordText(const std::string& text, FlashMemory& flash, std::string& error);
// Writes the whole flash as S1 records of 32 bytes with an S0 header and an S9 end record.
bool WriteSRecordFile(const std::string& path, const FlashMemory& flash, std::string& error);

} // namespace devsim
