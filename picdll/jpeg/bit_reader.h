// Reads the entropy-coded bytes of a scan, most significant bit first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace picdll::jpeg {

// Undoes the 0xFF 0x00 byte stuffing and never reads past a marker: once one is reached
// (or the data ends) it supplies zero bits, and Overrun() tells whether a caller consumed
// any of them, i.e. whether the segment was shorter than the data it should hold.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size, size_t pos)
        : next_(data + pos), end_(data + size) {}

    // Guarantees at least 32 bits to Peek (real ones, then zeros past the segment).
    void Fill()
    {
        if (count_ < 32) Refill();
    }
    uint32_t Peek(int n) const { return uint32_t(bits_ >> (64 - n)); }  // 1 <= n <= 32
    void Skip(int n)
    {
        bits_ <<= n;
        count_ -= n;
    }
    uint32_t Take(int n)
    {
        uint32_t v = Peek(n);
        Skip(n);
        return v;
    }
    bool Overrun() const { return count_ < 0; }

    // The first byte not yet loaded: the marker that stopped us, or data still unread.
    const uint8_t* Position() const { return next_; }
    // Starts afresh at `p` (just after a restart marker), dropping buffered bits.
    void Restart(const uint8_t* p)
    {
        next_ = p;
        bits_ = 0;
        count_ = 0;
        stopped_ = false;
    }

private:
    static bool HasFF(uint64_t w)
    {
        uint64_t inv = ~w;  // a 0xFF byte becomes a zero byte
        return ((inv - 0x0101010101010101ull) & ~inv & 0x8080808080808080ull) != 0;
    }

    void Refill()
    {
        if (stopped_) return;
        // Fast path: eight bytes without any 0xFF can be taken whole.
        if (end_ - next_ >= 8) {
            uint64_t w;
            std::memcpy(&w, next_, 8);
            w = __builtin_bswap64(w);
            if (!HasFF(w)) {
                int bytes = (63 - count_) >> 3;
                w &= ~uint64_t(0) << (64 - 8 * bytes);
                bits_ |= w >> count_;
                count_ += 8 * bytes;
                next_ += bytes;
                return;
            }
        }
        while (count_ <= 56) {
            if (next_ >= end_) {
                stopped_ = true;
                return;
            }
            uint8_t byte = *next_;
            if (byte == 0xFF) {
                const uint8_t* q = next_ + 1;
                while (q < end_ && *q == 0xFF) ++q;  // fill bytes
                if (q >= end_ || *q != 0x00) {
                    stopped_ = true;  // a marker (or the end): leave it for the caller
                    return;
                }
                next_ = q + 1;
            } else {
                ++next_;
            }
            bits_ |= uint64_t(byte) << (56 - count_);
            count_ += 8;
        }
    }

    uint64_t bits_ = 0;  // valid bits are the top `count_`, zeros below
    int count_ = 0;
    bool stopped_ = false;
    const uint8_t* next_;
    const uint8_t* end_;
};

}  // namespace picdll::jpeg
