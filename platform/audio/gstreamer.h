// The GStreamer base that every sound in the program goes through: one initialisation, one rule
// for choosing the audio sink, and the list of the system's audio outputs.
#pragma once

#include <string>
#include <vector>

typedef struct _GstElement GstElement;

namespace wf {

// Initialises GStreamer once per process (thread-safe); false when that failed.
bool ensureGstreamer();

// A new audio sink element (floating reference): the pipeline described by
// $WORDFERN_AUDIO_SINK when set (tests use "fakesink sync=true"), else the output with the given
// index of audioOutputs(), else the automatic sink. Nothing when no sink can be made.
GstElement* createAudioSink(int outputIndex = -1);

struct AudioOutputInfo {
    std::string name;  // what the system calls it
    std::string id;    // stable identifier of the device
};

// The system's audio outputs, as GstDeviceMonitor sees them; empty when there is none.
std::vector<AudioOutputInfo> audioOutputs();

}  // namespace wf
