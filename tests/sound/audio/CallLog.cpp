#include "CallLog.h"

namespace soundtest {

using Kind = sound::ToneEvent::Kind;

template <typename F> void CallLog::note(Kind kind, int hertz, F call)
{
    const sound::Nanoseconds at = sound::steadyNow();
    call();
    m_calls.push_back({kind, hertz, at, sound::steadyNow() - at});
}

void CallLog::toneOn(int hertz)
{
    note(Kind::ToneOn, hertz, [&] { m_output.toneOn(hertz); });
}

void CallLog::toneOff()
{
    note(Kind::ToneOff, 0, [&] { m_output.toneOff(); });
}

void CallLog::beep()
{
    note(Kind::Beep, 0, [&] { m_output.beep(); });
}

void CallLog::questionSound()
{
    note(Kind::Question, 0, [&] { m_output.questionSound(); });
}

std::vector<CallLog::Stretch> CallLog::stretches(sound::Nanoseconds longestPause) const
{
    std::vector<Stretch> list;
    int hertz = 0;
    sound::Nanoseconds since = 0;
    sound::Nanoseconds silentSince = -1;
    for (const Call& call : m_calls) {
        if (call.kind == Kind::ToneOn) {
            if (hertz > 0)
                list.push_back({hertz, since, call.at});
            else if (silentSince >= 0 && call.at - silentSince >= sound::kMillisecond &&
                     call.at - silentSince <= longestPause)
                list.push_back({0, silentSince, call.at});
            hertz = call.hertz;
            since = call.at;
        } else if (call.kind == Kind::ToneOff && hertz > 0) {
            list.push_back({hertz, since, call.at});
            hertz = 0;
            silentSince = call.at;
        }
    }
    return list;
}

} // namespace soundtest
