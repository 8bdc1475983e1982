// The usage text, written when the program is given fewer than two names.
#pragma once

namespace ostrak {

// Writes the usage text to standard output and hands it to the system.
void WriteUsage();

}  // namespace ostrak
