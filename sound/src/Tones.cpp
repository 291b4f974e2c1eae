#include "sound/Tones.h"

#include "platform/Platform.h"

namespace sound {

void playSequence(TPCSpeaker& speaker, std::span<const ToneStep> steps)
{
    for (const ToneStep& step : steps) {
        if (step.hz == 0)
            speaker.ToneWait(step.ms); // a pause: the speaker is silent
        else
            speaker.PlayTone(step.hz, step.ms);
    }
    speaker.NoSound();
}

void toneInsert(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::insert);
}
void toneDone(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::done);
}
void toneSavedByKey(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::savedByKey);
}
void toneDeleted(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::deleted);
}
void toneAllDeleted(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::allDeleted);
}
void playDropped(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::dropped);
}
void playNotFound(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::dropped);
}
void toneSearchFinished(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::searchFinished);
}
void playRisingMelody(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::risingMelody);
}
void playFallingMelody(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::fallingMelody);
}
void playFallingMelodyLongEnd(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::fallingMelodyLongEnd);
}
void toneFullMinute(TPCSpeaker& speaker)
{
    playSequence(speaker, tones::fullMinute);
}

void beep()
{
    if (platform::ToneOutput* output = platform::services().tones)
        output->beep();
}

void questionSound()
{
    if (platform::ToneOutput* output = platform::services().tones)
        output->questionSound();
}

} // namespace sound
