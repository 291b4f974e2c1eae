// The tone output that is opened after the main window's first paint: a tone
// asked for earlier must still sound (the output is made for it), and the
// output is made once whichever comes first.
#include "sound/DeferredToneOutput.h"

#include "platform/Fakes.h"

#include <gtest/gtest.h>

namespace {

using Kind = platform::FakeToneOutput::Kind;

struct Counted {
    int made = 0;
    platform::FakeToneOutput* last = nullptr;
    sound::DeferredToneOutput::Make maker()
    {
        return [this] {
            ++made;
            auto output = std::make_unique<platform::FakeToneOutput>();
            last = output.get();
            return output;
        };
    }
};

TEST(DeferredToneOutput, AToneBeforeTheStartIsPlayedAndTheOutputIsMadeOnce)
{
    Counted counted;
    sound::DeferredToneOutput tones(counted.maker());
    EXPECT_EQ(counted.made, 0);
    EXPECT_FALSE(tones.started());

    tones.toneOn(400);
    tones.toneOff();
    tones.beep();
    tones.questionSound();
    tones.start(); // the first paint comes after the tones
    ASSERT_EQ(counted.made, 1);
    const QList<Kind> kinds = [&] {
        QList<Kind> seen;
        for (const auto& event : counted.last->events())
            seen << event.kind;
        return seen;
    }();
    EXPECT_EQ(kinds, (QList<Kind>{Kind::ToneOn, Kind::ToneOff, Kind::Beep, Kind::QuestionSound}));
    EXPECT_EQ(counted.last->events().first().hertz, 400);
}

TEST(DeferredToneOutput, StartMakesTheOutputBeforeAnyTone)
{
    Counted counted;
    sound::DeferredToneOutput tones(counted.maker());
    tones.start();
    EXPECT_TRUE(tones.started());
    tones.start();
    tones.beep();
    EXPECT_EQ(counted.made, 1);
    EXPECT_EQ(counted.last->beeps(), 1);
}

} // namespace
