#pragma once

// A tone output made when it is first needed, or when start() says so: the
// program opens its stream to the sound server only once the main window is
// on the screen. A tone asked for before then makes the output at once, so
// nothing is lost; it only takes what opening the stream takes.

#include "platform/Platform.h"

#include <functional>
#include <memory>

namespace sound {

class DeferredToneOutput : public platform::ToneOutput {
public:
    using Make = std::function<std::unique_ptr<platform::ToneOutput>()>;
    explicit DeferredToneOutput(Make make);
    ~DeferredToneOutput() override;

    // Makes the output now, unless a tone already has.
    void start();
    bool started() const { return m_output != nullptr; }

    void toneOn(int hertz) override;
    void toneOff() override;
    void beep() override;
    void questionSound() override;

private:
    platform::ToneOutput& output();

    Make m_make;
    std::unique_ptr<platform::ToneOutput> m_output;
};

} // namespace sound
