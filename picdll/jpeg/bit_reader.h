// Reads the entropy-coded bytes of a scan, most significant bit first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace picdll::jpeg {

// Undoes the 0xFF 0x00 byte stuffing and never reads past a marker: once one is reached
// (or the data ends) it supplies zero bits, and Overrun() tells whether a caller consumed
// any of them, i.e. whether the segment was shorter than the data it should hold.
// The buffer is a machine word: a 64-bit one in a 32-bit build costs a pair of
// instructions and registers for every shift, which is most of what decoding does.
template <class Word>
class BasicBitReader {
public:
    static constexpr int kWordBits = 8 * int(sizeof(Word));
    // What TopUp and Fill guarantee: 56 and 32 bits in a 64-bit word, 24 in a 32-bit one.
    static constexpr int kTopUpBits = kWordBits - 8;
    static constexpr int kFillBits = kTopUpBits < 32 ? kTopUpBits : 32;

    BasicBitReader(const uint8_t* data, size_t size, size_t pos)
        : next_(data + pos), end_(data + size) {}

    // Guarantees at least kFillBits bits to Peek (real ones, then zeros past the segment).
    void Fill()
    {
        if (count_ < kFillBits) Refill();
    }
    // Guarantees at least kTopUpBits, in the same way. Where the next word's bytes hold no
    // 0xFF, as nearly all do, it tops the buffer up without asking how full it is: in a
    // loop over many short codes, a branch on that would be mispredicted often.
    void TopUp()
    {
        if (!TakeWord() && count_ < kTopUpBits) TakeBytes();
    }
    uint32_t Peek(int n) const { return uint32_t(bits_ >> (kWordBits - n)); }  // 1 <= n <= kFillBits
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
    static bool HasFF(Word w)
    {
        const Word inv = ~w;  // a 0xFF byte becomes a zero byte
        return ((inv - Word(0x0101010101010101ull)) & ~inv & Word(0x8080808080808080ull)) != 0;
    }
    static Word BigEndian(const uint8_t* p)
    {
        Word w;
        std::memcpy(&w, p, sizeof w);
        if constexpr (sizeof w == 8)
            return Word(__builtin_bswap64(w));
        else
            return Word(__builtin_bswap32(w));
    }

    void Refill()
    {
        if (!TakeWord()) TakeBytes();
    }
    // Takes as many whole bytes as fit when the next word's bytes hold no 0xFF (never so
    // once stopped: the marker's 0xFF is next, or the data ends).
    bool TakeWord()
    {
        if (end_ - next_ < ptrdiff_t(sizeof(Word))) return false;
        const Word w = BigEndian(next_);
        if (HasFF(w)) return false;
        bits_ |= w >> count_;  // bits past the whole bytes taken are put back alike later
        next_ += (kWordBits - 1 - count_) >> 3;
        count_ |= kTopUpBits;  // count_ + 8 * the bytes taken
        return true;
    }
    // Byte by byte, undoing the stuffing, up to a marker or the end of the data.
    void TakeBytes()
    {
        if (stopped_) return;
        while (count_ < kTopUpBits) {
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
            bits_ |= Word(byte) << (kTopUpBits - count_);
            count_ += 8;
        }
    }

    // Valid bits are the top `count_` (fewer than kWordBits). Below them: zeros, or the
    // stream's next bits, which a later fill writes to the same place again.
    Word bits_ = 0;
    int count_ = 0;
    bool stopped_ = false;
    const uint8_t* next_;
    const uint8_t* end_;
};

#ifdef PICDLL_JPEG_BIT_WORD
using BitReader = BasicBitReader<PICDLL_JPEG_BIT_WORD>;
#else
using BitReader = BasicBitReader<uintptr_t>;
#endif

}  // namespace picdll::jpeg
