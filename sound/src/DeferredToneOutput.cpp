#include "sound/DeferredToneOutput.h"

namespace sound {

DeferredToneOutput::DeferredToneOutput(Make make) : m_make(std::move(make)) {}

DeferredToneOutput::~DeferredToneOutput() = default;

void DeferredToneOutput::start()
{
    output();
}

platform::ToneOutput& DeferredToneOutput::output()
{
    if (!m_output)
        m_output = m_make();
    return *m_output;
}

void DeferredToneOutput::toneOn(int hertz)
{
    output().toneOn(hertz);
}

void DeferredToneOutput::toneOff()
{
    output().toneOff();
}

void DeferredToneOutput::beep()
{
    output().beep();
}

void DeferredToneOutput::questionSound()
{
    output().questionSound();
}

} // namespace sound
