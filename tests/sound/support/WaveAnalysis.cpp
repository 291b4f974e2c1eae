#include "WaveAnalysis.h"

#include <cmath>

namespace soundtest {

double measureFrequency(std::span<const std::int16_t> samples, int sampleRate)
{
    std::int64_t first = -1;
    std::int64_t last = -1;
    std::int64_t crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (first < 0)
                first = static_cast<std::int64_t>(i);
            last = static_cast<std::int64_t>(i);
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return static_cast<double>(crossings - 1) * sampleRate / static_cast<double>(last - first);
}

std::vector<Segment> findSegments(std::span<const std::int16_t> samples, int sampleRate,
                                  int minSilence)
{
    std::vector<Segment> segments;
    const auto size = static_cast<std::int64_t>(samples.size());
    std::int64_t i = 0;
    while (i < size) {
        while (i < size && samples[static_cast<std::size_t>(i)] == 0)
            ++i;
        if (i == size)
            break;
        const std::int64_t first = i;
        std::int64_t lastSound = i;
        while (i < size) {
            if (samples[static_cast<std::size_t>(i)] != 0)
                lastSound = i;
            else if (i - lastSound >= minSilence)
                break;
            ++i;
        }
        Segment segment{first, lastSound + 1 - first, 0};
        segment.hertz = measureFrequency(samples.subspan(static_cast<std::size_t>(first),
                                                         static_cast<std::size_t>(segment.count)),
                                         sampleRate);
        segments.push_back(segment);
        i = lastSound + 1;
    }
    return segments;
}

std::vector<Segment> splitByPitch(std::span<const std::int16_t> samples, const Segment& segment,
                                  int sampleRate)
{
    // Runs of samples of one sign: the half-periods.
    std::vector<std::int64_t> runs;
    const std::int64_t end = segment.end();
    for (std::int64_t i = segment.first; i < end;) {
        const bool positive = samples[static_cast<std::size_t>(i)] > 0;
        std::int64_t j = i;
        while (j < end && (samples[static_cast<std::size_t>(j)] > 0) == positive)
            ++j;
        runs.push_back(j - i);
        i = j;
    }
    // A half-period is a whole number of samples, one more or less than the
    // true length: a run further than that from its group's mean starts a new group.
    struct Group {
        std::size_t firstRun;
        std::size_t runs;
        std::int64_t samples;
        double mean() const { return static_cast<double>(samples) / static_cast<double>(runs); }
    };
    std::vector<Group> groups;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (!groups.empty() &&
            std::abs(static_cast<double>(runs[r]) - groups.back().mean()) <= 1.5) {
            ++groups.back().runs;
            groups.back().samples += runs[r];
        } else {
            groups.push_back({r, 1, runs[r]});
        }
    }
    // The run in which the pitch changed belongs to neither: a group of one
    // run between two others joins the one before it.
    std::vector<Group> merged;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (groups[g].runs == 1 && !merged.empty() && groups.size() > 1) {
            merged.back().samples += groups[g].samples;
            merged.back().runs += 1;
            continue;
        }
        merged.push_back(groups[g]);
    }
    std::vector<Segment> pieces;
    std::int64_t first = segment.first;
    for (const Group& group : merged) {
        Segment piece{first, group.samples, 0};
        // Frequency from the whole half-periods: the piece's last run may be cut.
        std::int64_t whole = 0;
        std::size_t count = 0;
        for (std::size_t r = group.firstRun; r + 1 < group.firstRun + group.runs; ++r, ++count)
            whole += runs[r];
        if (count > 0)
            piece.hertz =
                static_cast<double>(count) * sampleRate / (2.0 * static_cast<double>(whole));
        pieces.push_back(piece);
        first += group.samples;
    }
    return pieces;
}

} // namespace soundtest
