// Choosing a palette for a picture from its gathered colours.
#pragma once
#include <vector>

#include "picdll/imaging/colour.h"

namespace picdll::imaging {

// At most `colours` entries (fewer only when there are fewer points). Median cut splits
// the colour groups with the largest squared error where the split reduces it most; a
// few rounds of k-means then move each entry to the mean of the colours nearest to it.
std::vector<Rgb8> ChoosePalette(std::vector<WeightedColour> points, int colours);

}  // namespace picdll::imaging
