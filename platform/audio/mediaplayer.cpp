#include "platform/audio/mediaplayer.h"

#include <gst/gst.h>

#include <algorithm>
#include <filesystem>

#include "platform/audio/gstreamer.h"

namespace wf {
namespace {

constexpr int kPlayFlagAudio = 0x2;  // playbin's "audio" flag: no video, no subtitles
constexpr int kLengthWaitMs = 1000;

bool waitForState(GstElement* pipeline, int timeoutMs) {
    GstState state = GST_STATE_VOID_PENDING;
    GstStateChangeReturn result =
        gst_element_get_state(pipeline, &state, nullptr, GstClockTime(timeoutMs) * GST_MSECOND);
    return result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL;
}

}  // namespace

std::string mediaUri(std::string_view pathOrAddress) {
    std::string text(pathOrAddress);
    if (text.find("://") != std::string::npos) return text;
    gchar* uri = gst_filename_to_uri(text.c_str(), nullptr);
    if (!uri) return {};
    std::string result(uri);
    g_free(uri);
    return result;
}

MediaPlayer::~MediaPlayer() {
    close();
}

void MediaPlayer::closeLocked() {
    if (m_pipeline) {
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        gst_object_unref(m_pipeline);
        m_pipeline = nullptr;
    }
    m_status = Status::Closed;
    m_ended = false;
    m_source.clear();
}

void MediaPlayer::close() {
    std::lock_guard lock(m_mutex);
    closeLocked();
}

bool MediaPlayer::open(std::string_view pathOrAddress) {
    std::lock_guard lock(m_mutex);
    closeLocked();
    if (pathOrAddress.empty() || !ensureGstreamer()) return false;
    const bool isAddress = pathOrAddress.find("://") != std::string_view::npos;
    std::error_code ec;
    if (!isAddress && !std::filesystem::is_regular_file(std::string(pathOrAddress), ec))
        return false;
    const std::string uri = mediaUri(pathOrAddress);
    if (uri.empty() || !gst_uri_is_valid(uri.c_str())) return false;

    GstElement* sink = createAudioSink();
    if (!sink) return false;
    GstElement* pipeline = gst_element_factory_make("playbin", nullptr);
    if (!pipeline) {
        gst_object_unref(gst_object_ref_sink(sink));
        return false;
    }
    g_object_set(pipeline, "audio-sink", sink, "flags", kPlayFlagAudio, "uri", uri.c_str(),
                 nullptr);
    m_pipeline = pipeline;
    if (gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
        !waitForState(pipeline, kOpenTimeoutMs)) {
        closeLocked();
        return false;
    }
    // The length of a file settles a moment after it is ready, and callers ask for it right
    // away. A stream from a server may never tell its length: no wait for it.
    for (int waited = 0; !isAddress && waited < kLengthWaitMs; waited += 10) {
        gint64 duration = 0;
        if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration) && duration > 0) break;
        g_usleep(10 * 1000);
    }
    pollBus();
    if (m_status == Status::Closed && m_pipeline) {
        m_status = Status::Stopped;
        m_source = std::string(pathOrAddress);
        return true;
    }
    closeLocked();
    return false;
}

void MediaPlayer::pollBus() {
    if (!m_pipeline) return;
    GstBus* bus = gst_element_get_bus(m_pipeline);
    while (GstMessage* message =
               gst_bus_pop_filtered(bus, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            m_ended = true;
            if (m_status == Status::Playing) m_status = Status::Stopped;
        } else {
            // A stream that broke off (a dropped connection, a corrupt file) ends here.
            m_ended = true;
            if (m_status != Status::Closed) m_status = Status::Stopped;
        }
        gst_message_unref(message);
    }
    gst_object_unref(bus);
}

bool MediaPlayer::play() {
    std::lock_guard lock(m_mutex);
    if (!m_pipeline) return false;
    pollBus();
    if (m_ended) {
        gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
        m_ended = false;
    }
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        return false;
    }
    m_status = Status::Playing;
    return true;
}

bool MediaPlayer::pause() {
    std::lock_guard lock(m_mutex);
    pollBus();
    if (!m_pipeline || m_status != Status::Playing) return false;
    if (gst_element_set_state(m_pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        return false;
    }
    m_status = Status::Paused;
    return true;
}

bool MediaPlayer::resume() {
    std::lock_guard lock(m_mutex);
    pollBus();
    if (!m_pipeline || m_status != Status::Paused) return false;
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        return false;
    }
    m_status = Status::Playing;
    return true;
}

bool MediaPlayer::stop() {
    std::lock_guard lock(m_mutex);
    if (!m_pipeline) return false;
    // READY drops the position without a flushing seek, which servers without ranges refuse.
    gst_element_set_state(m_pipeline, GST_STATE_READY);
    if (gst_element_set_state(m_pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        return false;
    }
    GstBus* bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_flushing(bus, TRUE);  // an end reached before the stop no longer counts
    gst_bus_set_flushing(bus, FALSE);
    gst_object_unref(bus);
    m_ended = false;
    m_status = Status::Stopped;
    return true;
}

bool MediaPlayer::seek(std::int64_t milliseconds) {
    std::lock_guard lock(m_mutex);
    if (!m_pipeline) return false;
    waitForState(m_pipeline, kOpenTimeoutMs);
    m_ended = false;
    return gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                                   GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                   std::max<std::int64_t>(0, milliseconds) * GST_MSECOND);
}

void MediaPlayer::setVolume(double volume) {
    std::lock_guard lock(m_mutex);
    if (m_pipeline) g_object_set(m_pipeline, "volume", std::clamp(volume, 0.0, 1.0), nullptr);
}

MediaPlayer::Status MediaPlayer::status() {
    std::lock_guard lock(m_mutex);
    pollBus();
    return m_status;
}

bool MediaPlayer::ended() {
    std::lock_guard lock(m_mutex);
    pollBus();
    return m_ended;
}

std::int64_t MediaPlayer::length() {
    std::lock_guard lock(m_mutex);
    if (!m_pipeline) return 0;
    gint64 duration = 0;
    if (!gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &duration) || duration < 0)
        return 0;
    return duration / GST_MSECOND;
}

std::int64_t MediaPlayer::position() {
    std::unique_lock lock(m_mutex);
    if (!m_pipeline) return 0;
    pollBus();
    if (m_ended) {
        // Callers loop a sound by comparing position with length once it has ended.
        lock.unlock();
        if (std::int64_t length = this->length(); length > 0) return length;
        lock.lock();
        if (!m_pipeline) return 0;
    }
    gint64 position = 0;
    if (!gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &position) || position < 0) {
        return 0;
    }
    return position / GST_MSECOND;
}

}  // namespace wf
