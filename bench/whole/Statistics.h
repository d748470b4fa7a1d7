// Summaries of repeated timings.
#pragma once

#include <vector>

namespace nerith::bench {

// The middle value (the mean of the two middle values for an even count); 0 for no values.
double Median(std::vector<double> values);

} // namespace nerith::bench
