#include "picdll/imaging/palette_choice.h"

#include <algorithm>
#include <cmath>

#include "picdll/imaging/nearest_colour.h"

namespace picdll::imaging {
namespace {

constexpr int kRefinementRounds = 4;

// A run of points, with the sums its squared error is computed from.
struct Box {
    size_t begin = 0, end = 0;
    double weight = 0;
    double sum[3] = {};
    double sumOfSquares = 0;  // of every channel

    double Error() const
    {
        return sumOfSquares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / weight;
    }
    bool Splittable() const { return end - begin >= 2 && Error() > 1e-9; }
};

Box MakeBox(const std::vector<WeightedColour>& points, size_t begin, size_t end)
{
    Box box;
    box.begin = begin;
    box.end = end;
    for (size_t i = begin; i < end; ++i) {
        const WeightedColour& p = points[i];
        box.weight += p.weight;
        for (int c = 0; c < 3; ++c) {
            box.sum[c] += p.weight * p.channel[c];
            box.sumOfSquares += p.weight * p.channel[c] * p.channel[c];
        }
    }
    return box;
}

int WidestChannel(const std::vector<WeightedColour>& points, const Box& box)
{
    double squares[3] = {};
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            squares[c] += points[i].weight * points[i].channel[c] * points[i].channel[c];
        }
    }
    int widest = 0;
    double widestVariance = -1;
    for (int c = 0; c < 3; ++c) {
        const double variance = squares[c] - box.sum[c] * box.sum[c] / box.weight;
        if (variance > widestVariance) {
            widestVariance = variance;
            widest = c;
        }
    }
    return widest;
}

// Sorts the box along its widest channel and cuts it where the two parts' total squared
// error is least, which is where sum^2 / weight of the parts is largest.
size_t BestCut(std::vector<WeightedColour>& points, const Box& box)
{
    const int channel = WidestChannel(points, box);
    std::sort(points.begin() + long(box.begin), points.begin() + long(box.end),
              [channel](const WeightedColour& a, const WeightedColour& b) {
                  return a.channel[channel] < b.channel[channel];
              });
    double weight = 0, sum[3] = {}, bestScore = -1;
    size_t cut = box.begin + 1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
        weight += points[i].weight;
        double score = 0;
        for (int c = 0; c < 3; ++c) {
            sum[c] += points[i].weight * points[i].channel[c];
            const double rest = box.sum[c] - sum[c];
            score += sum[c] * sum[c] / weight + rest * rest / (box.weight - weight);
        }
        if (score > bestScore) {
            bestScore = score;
            cut = i + 1;
        }
    }
    return cut;
}

std::vector<Box> MedianCut(std::vector<WeightedColour>& points, size_t colours)
{
    std::vector<Box> boxes{MakeBox(points, 0, points.size())};
    while (boxes.size() < colours) {
        Box* worst = nullptr;
        for (Box& box : boxes) {
            if (box.Splittable() && (!worst || box.Error() > worst->Error())) worst = &box;
        }
        if (!worst) break;
        const Box whole = *worst;
        const size_t cut = BestCut(points, whole);
        *worst = MakeBox(points, whole.begin, cut);
        boxes.push_back(MakeBox(points, cut, whole.end));
    }
    return boxes;
}

uint8_t ToChannel(double value) { return uint8_t(std::clamp(std::lround(value), 0L, 255L)); }

Rgb8 Mean(const double sum[3], double weight)
{
    return {ToChannel(sum[0] / weight), ToChannel(sum[1] / weight), ToChannel(sum[2] / weight)};
}

// One round of k-means; false once no entry moves.
bool Refine(const std::vector<WeightedColour>& points, std::vector<Rgb8>& palette)
{
    const NearestColour nearest(palette);
    struct Group {
        double weight = 0;
        double sum[3] = {};
    };
    std::vector<Group> groups(palette.size());
    for (const WeightedColour& p : points) {
        const int i = nearest.Find(ToChannel(p.channel[0]), ToChannel(p.channel[1]),
                                   ToChannel(p.channel[2]));
        groups[size_t(i)].weight += p.weight;
        for (int c = 0; c < 3; ++c) groups[size_t(i)].sum[c] += p.weight * p.channel[c];
    }
    bool moved = false;
    for (size_t i = 0; i < palette.size(); ++i) {
        const Group& group = groups[i];
        if (group.weight == 0) continue;  // nothing is nearest; keep the entry where it is
        const Rgb8 mean = Mean(group.sum, group.weight);
        moved |= mean.r != palette[i].r || mean.g != palette[i].g || mean.b != palette[i].b;
        palette[i] = mean;
    }
    return moved;
}

}  // namespace

std::vector<Rgb8> ChoosePalette(std::vector<WeightedColour> points, int colours)
{
    std::vector<Rgb8> palette;
    for (const Box& box : MedianCut(points, size_t(colours))) {
        palette.push_back(Mean(box.sum, box.weight));
    }
    for (int round = 0; round < kRefinementRounds; ++round) {
        if (!Refine(points, palette)) break;
    }
    return palette;
}

}  // namespace picdll::imaging
