// A map from 24-bit colours to counts or palette indices that holds a bounded number of
// colours: open addressing in two flat arrays, fast for the millions of look-ups one
// picture makes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace picdll::imaging {

class ColourMap {
public:
    explicit ColourMap(size_t maxColours);

    // The value kept for `colour`, added as 0 when new; nullptr when the colour is new and
    // the map already holds maxColours colours.
    uint32_t* Find(uint32_t colour);

    size_t size() const { return size_; }

    // Calls visit(colour, value) for every colour held.
    template <typename Visit>
    void ForEach(Visit visit) const
    {
        for (size_t i = 0; i < keys_.size(); ++i) {
            if (keys_[i] != kEmpty) visit(keys_[i], values_[i]);
        }
    }

private:
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;  // no 24-bit colour has this value

    std::vector<uint32_t> keys_;
    std::vector<uint32_t> values_;
    size_t mask_ = 0;
    int shift_ = 0;
    size_t size_ = 0;
    size_t maxColours_;
};

}  // namespace picdll::imaging
