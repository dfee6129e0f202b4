#include "platform/audio/waveplayer.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include "platform/audio/gstreamer.h"

namespace wf {
namespace {

constexpr int kStartTimeoutMs = 3000;

bool looksLikeWave(std::string_view bytes) {
    return bytes.size() >= 44 && bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "WAVE";
}

GstElement* makePipeline() {
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("appsrc", "source");
    GstElement* parse = gst_element_factory_make("wavparse", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = createAudioSink();
    if (!pipeline || !source || !parse || !convert || !resample || !sink) {
        for (GstElement* e : {source, parse, convert, resample, sink}) {
            if (e) gst_object_unref(gst_object_ref_sink(e));
        }
        if (pipeline) gst_object_unref(pipeline);
        return nullptr;
    }
    gst_bin_add_many(GST_BIN(pipeline), source, parse, convert, resample, sink, nullptr);
    if (!gst_element_link_many(source, parse, convert, resample, sink, nullptr)) {
        gst_object_unref(pipeline);
        return nullptr;
    }
    g_object_set(source, "format", GST_FORMAT_BYTES, nullptr);
    return pipeline;
}

}  // namespace

WavePlayer::~WavePlayer() {
    stop();
}

void WavePlayer::stopLocked() {
    if (!m_pipeline) return;
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
}

void WavePlayer::stop() {
    std::lock_guard lock(m_mutex);
    stopLocked();
}

bool WavePlayer::play(std::string_view wavBytes) {
    std::lock_guard lock(m_mutex);
    stopLocked();
    if (!looksLikeWave(wavBytes) || !ensureGstreamer()) return false;
    GstElement* pipeline = makePipeline();
    if (!pipeline) return false;
    m_pipeline = pipeline;

    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    GstBuffer* buffer = gst_buffer_new_memdup(wavBytes.data(), wavBytes.size());
    gst_app_src_push_buffer(GST_APP_SRC(source), buffer);  // takes the buffer
    gst_app_src_end_of_stream(GST_APP_SRC(source));
    gst_object_unref(source);

    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        stopLocked();
        return false;
    }
    GstState state = GST_STATE_VOID_PENDING;
    GstStateChangeReturn result = gst_element_get_state(
        pipeline, &state, nullptr, GstClockTime(kStartTimeoutMs) * GST_MSECOND);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    if (error) gst_message_unref(error);
    if (error || result == GST_STATE_CHANGE_FAILURE || result == GST_STATE_CHANGE_ASYNC) {
        stopLocked();
        return false;
    }
    return true;
}

bool WavePlayer::isPlaying() {
    std::lock_guard lock(m_mutex);
    if (!m_pipeline) return false;
    GstBus* bus = gst_element_get_bus(m_pipeline);
    GstMessage* done =
        gst_bus_pop_filtered(bus, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_object_unref(bus);
    if (!done) return true;
    gst_message_unref(done);
    stopLocked();
    return false;
}

namespace {
WavePlayer& programWavePlayer() {
    static WavePlayer* player = new WavePlayer;  // outlives every caller, even at exit
    return *player;
}
}  // namespace

bool playWaveFromMemory(std::string_view wavBytes) {
    return programWavePlayer().play(wavBytes);
}

void stopWave() {
    programWavePlayer().stop();
}

}  // namespace wf
