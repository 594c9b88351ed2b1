#include "testgate.h"

#include <gst/base/gstbasetransform.h>
#include <gst/gst.h>

namespace {

GMutex gLock;
GCond gChanged;
int gEnds = 0;

struct TestGate {
    GstBaseTransform parent;
    gboolean holding;  // the first buffer is waiting
    gboolean released; // the pipeline was shut down while holding
};
struct TestGateClass {
    GstBaseTransformClass parent;
};

G_DEFINE_TYPE(TestGate, test_gate, GST_TYPE_BASE_TRANSFORM)

GstStaticPadTemplate gSinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
GstStaticPadTemplate gSrcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

TestGate* gateOf(gpointer object) {
    return reinterpret_cast<TestGate*>(object);
}

GstFlowReturn passBuffer(GstBaseTransform* base, GstBuffer*) {
    TestGate* gate = gateOf(base);
    g_mutex_lock(&gLock);
    const bool held = !gate->released;
    gate->holding = held;
    while (!gate->released)
        g_cond_wait(&gChanged, &gLock);
    g_mutex_unlock(&gLock);
    return held ? GST_FLOW_FLUSHING : GST_FLOW_OK;
}

gboolean passEvent(GstBaseTransform* base, GstEvent* event) {
    const bool end = GST_EVENT_TYPE(event) == GST_EVENT_EOS;
    const gboolean passed =
        GST_BASE_TRANSFORM_CLASS(test_gate_parent_class)->sink_event(base, event);
    if (end) {
        g_mutex_lock(&gLock);
        ++gEnds;
        g_cond_broadcast(&gChanged);
        g_mutex_unlock(&gLock);
    }
    return passed;
}

// Shutting down lets the held buffer go before the pads stop: the thread
// holding it must leave, or the shut-down would wait for it forever.
GstStateChangeReturn changeState(GstElement* element, GstStateChange transition) {
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) {
        TestGate* gate = gateOf(element);
        g_mutex_lock(&gLock);
        gate->released = gate->released || gate->holding;
        g_cond_broadcast(&gChanged);
        g_mutex_unlock(&gLock);
    }
    return GST_ELEMENT_CLASS(test_gate_parent_class)->change_state(element, transition);
}

void test_gate_class_init(TestGateClass* klass) {
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(element, &gSinkTemplate);
    gst_element_class_add_static_pad_template(element, &gSrcTemplate);
    gst_element_class_set_static_metadata(element, "Test gate", "Filter", "Holds a preroll",
                                          "tests");
    element->change_state = changeState;
    GST_BASE_TRANSFORM_CLASS(klass)->transform_ip = passBuffer;
    GST_BASE_TRANSFORM_CLASS(klass)->sink_event = passEvent;
}

void test_gate_init(TestGate* gate) {
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(gate), TRUE);
}

} // namespace

void testgate::registerElement() {
    gst_init(nullptr, nullptr);
    gst_element_register(nullptr, "testgate", GST_RANK_NONE, test_gate_get_type());
}

int testgate::ends() {
    g_mutex_lock(&gLock);
    const int count = gEnds;
    g_mutex_unlock(&gLock);
    return count;
}

bool testgate::waitForEnds(int count, int timeoutMs) {
    const gint64 until = g_get_monotonic_time() + gint64(timeoutMs) * G_TIME_SPAN_MILLISECOND;
    g_mutex_lock(&gLock);
    while (gEnds < count && g_cond_wait_until(&gChanged, &gLock, until)) {
    }
    const bool reached = gEnds >= count;
    g_mutex_unlock(&gLock);
    return reached;
}
