// Short WAV cues compiled into the program, played from memory: the study window's new-word,
// correct, wrong and time-up sounds and the translation window's start and end sounds.
// The data lives in soundcues.cpp, written by tools/datagen/generate.
#pragma once

#include <span>

namespace wf {

std::span<const unsigned char> newWordCue();           // PCM mono 22050 Hz 16-bit
std::span<const unsigned char> correctCue();           // PCM mono 11025 Hz 16-bit
std::span<const unsigned char> wrongCue();             // PCM mono 11025 Hz 8-bit
std::span<const unsigned char> timeUpCue();            // PCM stereo 48000 Hz 16-bit
std::span<const unsigned char> translationStartCue();  // PCM mono 22050 Hz 16-bit
std::span<const unsigned char> translationEndCue();    // PCM mono 22050 Hz 16-bit

}  // namespace wf
