#include "sound/ToneRenderer.h"

#include "sound/AlertSounds.h"

#include <algorithm>

namespace sound {

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

ToneRenderer::ToneRenderer(Nanoseconds delay) : m_delay(delay) {}

void ToneRenderer::add(std::span<const ToneEvent> events)
{
    m_pending.insert(m_pending.end(), events.begin(), events.end());
}

void ToneRenderer::adjustDelay(Nanoseconds required, Nanoseconds firstSampleAt)
{
    const Nanoseconds target = std::clamp<Nanoseconds>(required + kDelayMargin, 0, kMaxDelay);
    // The moment of asking that the coming chunk plays.
    const Nanoseconds askedNow = firstSampleAt - m_delay;
    if (target > m_delay || (target < m_delay && idle() && askedNow - m_lastEventAt >= kSettle))
        m_delay = target;
}

bool ToneRenderer::idle() const
{
    return m_hertz == 0 && m_pending.empty() && m_voices.empty();
}

std::int64_t ToneRenderer::samplesUntil(const ToneEvent& event, Nanoseconds firstSampleAt) const
{
    // A minute either way is far enough to say "long ago" or "not yet" and
    // keeps the product below from overflowing.
    const Nanoseconds distance =
        std::clamp<Nanoseconds>(event.at + m_delay - firstSampleAt, -60 * kSecond, 60 * kSecond);
    return floorDiv(distance * kSampleRate + kSecond / 2, kSecond);
}

void ToneRenderer::render(std::span<std::int16_t> out, Nanoseconds firstSampleAt)
{
    const auto size = static_cast<std::int64_t>(out.size());
    std::int64_t done = 0;
    while (done < size) {
        std::int64_t until = size;
        while (!m_pending.empty()) {
            const std::int64_t at = samplesUntil(m_pending.front(), firstSampleAt);
            if (at > done) {
                until = std::min(at, size);
                break;
            }
            // An event whose moment has passed (the stream started late, or
            // came back after the server was gone) takes effect at once; a
            // row of such events leaves only the speaker's latest state.
            const Nanoseconds lateness = at < 0 ? -at * kSecond / kSampleRate : 0;
            apply(m_pending.front(), lateness);
            m_pending.pop_front();
        }
        synthesize(
            out.subspan(static_cast<std::size_t>(done), static_cast<std::size_t>(until - done)));
        done = until;
    }
}

void ToneRenderer::apply(const ToneEvent& event, Nanoseconds lateness)
{
    if (lateness > 0)
        ++m_lateEvents;
    m_lastEventAt = event.at;
    switch (event.kind) {
    case ToneEvent::Kind::ToneOn:
        // A tone starts from silence at the start of its period; a change of
        // frequency keeps the phase, so the wave has no seam between tones.
        if (m_hertz == 0)
            m_phase = 0;
        m_hertz = std::max(event.hertz, 0);
        break;
    case ToneEvent::Kind::ToneOff:
        // The next tone of a melody is usually waiting already: going on
        // into it keeps the wave without a seam or a stray silent sample.
        if (m_pending.size() > 1 && m_pending[1].kind == ToneEvent::Kind::ToneOn &&
            m_pending[1].at - event.at < kJoinTones)
            break;
        m_hertz = 0;
        break;
    case ToneEvent::Kind::Beep:
    case ToneEvent::Kind::Question:
        if (lateness > kStaleAlert)
            break;
        if (m_voices.size() >= kMaxVoices)
            m_voices.erase(m_voices.begin());
        m_voices.push_back(
            {event.kind == ToneEvent::Kind::Beep ? beepSamples() : questionSamples(), 0});
        break;
    }
}

void ToneRenderer::synthesize(std::span<std::int16_t> out)
{
    // Above half the sample rate the wave cannot be made; the speaker's tone
    // would be ultrasonic there anyway, so it is silence, not an alias.
    const int hertz = m_hertz < kSampleRate / 2 ? m_hertz : 0;
    for (std::int16_t& sample : out) {
        int value = 0;
        if (hertz > 0) {
            value = m_phase < kSampleRate / 2 ? kAmplitude : -kAmplitude;
            m_phase = (m_phase + hertz) % kSampleRate;
        }
        for (Voice& voice : m_voices) {
            if (voice.next < voice.samples.size())
                value += voice.samples[voice.next++];
        }
        sample = static_cast<std::int16_t>(std::clamp(value, -32767, 32767));
    }
    std::erase_if(m_voices, [](const Voice& v) { return v.next >= v.samples.size(); });
}

} // namespace sound
