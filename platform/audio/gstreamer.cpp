#include "platform/audio/gstreamer.h"

#include <gst/gst.h>

#include <cstdlib>
#include <mutex>

namespace wf {

bool ensureGstreamer() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        GError* error = nullptr;
        ok = gst_init_check(nullptr, nullptr, &error);
        if (error) g_error_free(error);
    });
    return ok;
}

namespace {

std::vector<GstDevice*> monitorDevices() {
    std::vector<GstDevice*> devices;
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
    if (gst_device_monitor_start(monitor)) {
        GList* list = gst_device_monitor_get_devices(monitor);
        for (GList* l = list; l; l = l->next) devices.push_back(GST_DEVICE(l->data));
        g_list_free(list);  // the devices' references move into the vector
        gst_device_monitor_stop(monitor);
    }
    gst_object_unref(monitor);
    return devices;
}

}  // namespace

GstElement* createAudioSink(int outputIndex) {
    if (!ensureGstreamer()) return nullptr;
    if (const char* description = std::getenv("WORDFERN_AUDIO_SINK"); description && *description) {
        GError* error = nullptr;
        GstElement* sink = gst_parse_bin_from_description(description, TRUE, &error);
        if (error) {
            g_error_free(error);
            if (sink) gst_object_unref(sink);
            return nullptr;
        }
        return sink;
    }
    if (outputIndex >= 0) {
        std::vector<GstDevice*> devices = monitorDevices();
        GstElement* sink = nullptr;
        if (outputIndex < static_cast<int>(devices.size())) {
            sink = gst_device_create_element(devices[static_cast<std::size_t>(outputIndex)], nullptr);
        }
        for (GstDevice* d : devices) gst_object_unref(d);
        if (sink) return sink;
    }
    return gst_element_factory_make("autoaudiosink", nullptr);
}

std::vector<AudioOutputInfo> audioOutputs() {
    std::vector<AudioOutputInfo> outputs;
    if (!ensureGstreamer()) return outputs;
    for (GstDevice* device : monitorDevices()) {
        AudioOutputInfo info;
        gchar* name = gst_device_get_display_name(device);
        info.name = name ? name : "";
        g_free(name);
        info.id = info.name;
        if (GstStructure* props = gst_device_get_properties(device)) {
            for (const char* key : {"node.name", "device.name", "alsa.card_name", "udev.id"}) {
                if (const gchar* value = gst_structure_get_string(props, key)) {
                    info.id = value;
                    break;
                }
            }
            gst_structure_free(props);
        }
        outputs.push_back(std::move(info));
        gst_object_unref(device);
    }
    return outputs;
}

}  // namespace wf
