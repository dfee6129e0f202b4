#include "platform/audio/pcmoutput.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/audio/gstreamer.h"

namespace wf {

namespace {

std::atomic<void (*)()> g_firstBufferObserver{nullptr};

struct Stream {
    std::uint64_t id = 0;
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;  // owned by the pipeline
    std::uint64_t frames = 0;      // written so far; only the writer touches it
    bool ended = false;            // guarded by State::mutex
    bool failed = false;           // guarded by State::mutex

    ~Stream() {
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
        }
    }
};

GstPadProbeReturn firstBufferProbe(GstPad*, GstPadProbeInfo*, gpointer) {
    if (auto observer = g_firstBufferObserver.load()) observer();
    return GST_PAD_PROBE_REMOVE;
}

}  // namespace

struct PcmOutput::State : std::enable_shared_from_this<PcmOutput::State> {
    int rate = 22050;
    int channels = 1;

    mutable std::mutex mutex;  // current, paused, outputIndex, nextId
    std::shared_ptr<Stream> current;
    bool paused = false;
    int outputIndex = -1;
    std::uint64_t nextId = 1;

    std::mutex controlMutex;  // everything below
    std::condition_variable controlWake;
    std::condition_variable handlerDone;
    std::deque<std::pair<std::uint64_t, bool>> reports;
    bool quit = false;
    FinishedHandler handler;
    bool handlerRunning = false;
    std::thread::id controlThreadId;

    void post(std::uint64_t id, bool ok) {
        std::lock_guard lock(controlMutex);
        reports.emplace_back(id, ok);
        controlWake.notify_one();
    }

    // A message of stream id arrived from a streaming thread (EOS or an error).
    void streamDone(std::uint64_t id, bool ok) {
        bool report = false;
        {
            std::lock_guard lock(mutex);
            if (!current || current->id != id) return;
            if (current->ended) {
                report = true;
            } else if (!ok) {
                current->failed = true;  // reported when the writer ends the stream
            }
        }
        if (report) post(id, ok);
    }

    void controlLoop() {
        std::unique_lock lock(controlMutex);
        for (;;) {
            controlWake.wait(lock, [&] { return quit || !reports.empty(); });
            if (quit) return;
            auto [id, ok] = reports.front();
            reports.pop_front();
            lock.unlock();
            bool isCurrent = false;
            {
                std::shared_ptr<Stream> done;
                {
                    std::lock_guard streamLock(mutex);
                    if (current && current->id == id) done = std::move(current);
                }
                isCurrent = done != nullptr;
            }  // the pipeline is torn down here, never on a streaming thread
            lock.lock();
            if (quit) return;
            if (!isCurrent) continue;  // stopped or replaced meanwhile
            FinishedHandler call = handler;
            if (!call) continue;
            handlerRunning = true;
            lock.unlock();
            try {
                call(id, ok);
            } catch (...) {
                // the handler's failure must not end the thread every later report needs
            }
            lock.lock();
            handlerRunning = false;
            handlerDone.notify_all();
        }
    }
};

namespace {

struct BusContext {
    std::weak_ptr<PcmOutput::State> state;
    std::uint64_t stream;
};

GstBusSyncReply busSyncHandler(GstBus*, GstMessage* message, gpointer data) {
    auto* context = static_cast<BusContext*>(data);
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR) {
        try {
            if (auto state = context->state.lock()) {
                state->streamDone(context->stream, type == GST_MESSAGE_EOS);
            }
        } catch (...) {
            // nothing may unwind through GStreamer's frames
        }
    }
    return GST_BUS_DROP;  // nobody pops this bus
}

void deleteBusContext(gpointer data) {
    delete static_cast<BusContext*>(data);
}

}  // namespace

PcmOutput::PcmOutput(int sampleRate, int channels) : m_state(std::make_shared<State>()) {
    m_state->rate = sampleRate > 0 ? sampleRate : 22050;
    m_state->channels = channels > 0 ? channels : 1;
    std::thread control([state = m_state] { state->controlLoop(); });
    {
        std::lock_guard lock(m_state->controlMutex);
        m_state->controlThreadId = control.get_id();
    }
    control.detach();  // it owns a reference to the state and ends when told to quit
}

PcmOutput::~PcmOutput() {
    stop();
    std::unique_lock lock(m_state->controlMutex);
    m_state->quit = true;
    m_state->handler = nullptr;
    m_state->controlWake.notify_one();
    if (std::this_thread::get_id() != m_state->controlThreadId) {
        m_state->handlerDone.wait(lock, [&] { return !m_state->handlerRunning; });
    }
}

void PcmOutput::setFinishedHandler(FinishedHandler handler) {
    std::unique_lock lock(m_state->controlMutex);
    if (std::this_thread::get_id() != m_state->controlThreadId) {
        m_state->handlerDone.wait(lock, [&] { return !m_state->handlerRunning; });
    }
    m_state->handler = std::move(handler);
}

void PcmOutput::setOutput(int outputIndex) {
    std::lock_guard lock(m_state->mutex);
    m_state->outputIndex = outputIndex;
}

std::uint64_t PcmOutput::beginStream() {
    stop();
    if (!ensureGstreamer()) return 0;
    int outputIndex;
    bool paused;
    std::uint64_t id;
    {
        std::lock_guard lock(m_state->mutex);
        outputIndex = m_state->outputIndex;
        paused = m_state->paused;
        id = m_state->nextId++;
    }
    auto stream = std::make_shared<Stream>();
    stream->id = id;
    stream->pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("appsrc", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = createAudioSink(outputIndex);
    if (!stream->pipeline || !source || !convert || !resample || !sink) {
        for (GstElement* e : {source, convert, resample, sink}) {
            if (e) gst_object_unref(gst_object_ref_sink(e));
        }
        return 0;
    }
    GstCaps* caps = gst_caps_new_simple(
        "audio/x-raw", "format", G_TYPE_STRING, "S16LE", "rate", G_TYPE_INT, m_state->rate,
        "channels", G_TYPE_INT, m_state->channels, "layout", G_TYPE_STRING, "interleaved", nullptr);
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, "max-bytes",
                 static_cast<guint64>(0), nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(stream->pipeline), source, convert, resample, sink, nullptr);
    if (!gst_element_link_many(source, convert, resample, sink, nullptr)) return 0;
    stream->source = source;

    GstBus* bus = gst_element_get_bus(stream->pipeline);
    gst_bus_set_sync_handler(bus, busSyncHandler, new BusContext{m_state, id}, deleteBusContext);
    gst_object_unref(bus);

    if (g_firstBufferObserver.load()) {
        if (GstPad* pad = gst_element_get_static_pad(sink, "sink")) {
            gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, firstBufferProbe, nullptr, nullptr);
            gst_object_unref(pad);
        }
    }
    {
        std::lock_guard lock(m_state->mutex);
        m_state->current = stream;
    }
    if (gst_element_set_state(stream->pipeline, paused ? GST_STATE_PAUSED : GST_STATE_PLAYING) ==
        GST_STATE_CHANGE_FAILURE) {
        stop();
        return 0;
    }
    return id;
}

bool PcmOutput::write(std::uint64_t stream, const std::int16_t* samples, std::size_t count) {
    std::shared_ptr<Stream> target;
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->current && m_state->current->id == stream && !m_state->current->ended) {
            target = m_state->current;
        }
    }
    if (!target) return false;
    if (count == 0) return true;
    const std::size_t bytes = count * sizeof(std::int16_t);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(buffer, 0, samples, bytes);
    const std::uint64_t frames = count / static_cast<std::size_t>(m_state->channels);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(target->frames, GST_SECOND, m_state->rate);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(frames, GST_SECOND, m_state->rate);
    target->frames += frames;
    return gst_app_src_push_buffer(GST_APP_SRC(target->source), buffer) == GST_FLOW_OK;
}

void PcmOutput::endStream(std::uint64_t stream) {
    std::shared_ptr<Stream> target;
    bool failed = false;
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->current && m_state->current->id == stream && !m_state->current->ended) {
            target = m_state->current;
            target->ended = true;
            failed = target->failed;
        }
    }
    if (!target) return;
    if (failed) {
        m_state->post(stream, false);
    } else {
        gst_app_src_end_of_stream(GST_APP_SRC(target->source));
    }
}

void PcmOutput::stop() {
    std::shared_ptr<Stream> stopped;
    {
        std::lock_guard lock(m_state->mutex);
        stopped = std::move(m_state->current);
    }
    if (stopped) gst_element_set_state(stopped->pipeline, GST_STATE_NULL);
}

void PcmOutput::pause() {
    std::shared_ptr<Stream> target;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->paused = true;
        target = m_state->current;
    }
    if (target) gst_element_set_state(target->pipeline, GST_STATE_PAUSED);
}

void PcmOutput::resume() {
    std::shared_ptr<Stream> target;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->paused = false;
        target = m_state->current;
    }
    if (target) gst_element_set_state(target->pipeline, GST_STATE_PLAYING);
}

bool PcmOutput::isPaused() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->paused;
}

void PcmOutput::setFirstBufferObserver(void (*observer)()) {
    g_firstBufferObserver = observer;
}

}  // namespace wf
