// The quantised coefficients of a frame that is decoded over several scans.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace picdll::jpeg {

// A block holding its 64 terms (natural order).
struct WholeBlock {
    int16_t* terms;
    bool Nonzero(int at) const { return terms[at] != 0; }
    void Set(int at, int16_t value) { terms[at] = value; }
    // A refining scan's correction bit: adds `plus` away from zero unless already there.
    void Correct(int at, int plus)
    {
        int16_t& c = terms[at];
        if ((c & plus) == 0) c = int16_t(c + (c >= 0 ? plus : -plus));
    }
};

// A block of a frame decoded reduced to n x n samples a block: its low n x n terms (n a
// row), and of the others one bit each, whether it is nonzero. That is all a refining scan
// asks of a term, and all the reduced transform reads.
struct ReducedBlock {
    int16_t* terms;
    uint64_t* beyond;
    const int8_t* slot;  // by natural index: the place among `terms`, or -1

    bool Nonzero(int at) const { return slot[at] >= 0 ? terms[slot[at]] != 0 : (*beyond >> at & 1) != 0; }
    void Set(int at, int16_t value)
    {
        if (slot[at] >= 0) terms[slot[at]] = value;
        else if (value != 0) *beyond |= uint64_t(1) << at;
    }
    void Correct(int at, int plus)
    {
        if (slot[at] >= 0) WholeBlock{terms + slot[at]}.Correct(0, plus);
    }
};

// One component's blocks, row by row: `side` x `side` terms a block (8: all of them).
class CoefficientStore {
public:
    void Reset(int blocks_wide, int blocks_high, int side);

    int side() const { return side_; }
    int terms_per_block() const { return side_ * side_; }
    int16_t* Terms(int bx, int by) { return terms_.data() + Index(bx, by) * size_t(terms_per_block()); }
    const int16_t* Terms(int bx, int by) const { return terms_.data() + Index(bx, by) * size_t(terms_per_block()); }
    WholeBlock Whole(int bx, int by) { return {Terms(bx, by)}; }
    ReducedBlock Reduced(int bx, int by) { return {Terms(bx, by), &beyond_[Index(bx, by)], slot_}; }

    // Sets block (bx, by) from all 64 terms (natural order).
    void Store(int bx, int by, const int16_t all[64]);
    // Block (bx, by) as 64 terms (natural order), those not kept as 0.
    void Load(const int16_t* terms, int16_t all[64]) const;

private:
    size_t Index(int bx, int by) const { return size_t(by) * size_t(wide_) + size_t(bx); }

    int wide_ = 0;
    int side_ = 8;
    int8_t slot_[64] = {};
    std::vector<int16_t> terms_;
    std::vector<uint64_t> beyond_;  // reduced frames only
};

}  // namespace picdll::jpeg
