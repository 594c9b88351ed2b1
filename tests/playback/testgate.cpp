#include "testgate.h"

#include <gst/base/gstbasetransform.h>
#include <gst/gst.h>

namespace {

GMutex gLock;
GCond gChanged;
int gEnds = 0;

struct TestGate {
    GstBaseTransform parent;
    int holds;         // how many prerolls to hold, one pipeline each
    int held;          // how many were held until their pipeline shut down
    gboolean holding;  // a preroll buffer is waiting
    gboolean stopping; // the pipeline is shutting down: nothing more is held
};

enum { kPropHolds = 1 };
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
    const bool hold = !gate->stopping && gate->held < gate->holds;
    gate->holding = hold;
    while (gate->holding)
        g_cond_wait(&gChanged, &gLock);
    const bool stopping = gate->stopping;
    g_mutex_unlock(&gLock);
    return hold || stopping ? GST_FLOW_FLUSHING : GST_FLOW_OK;
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
// holding it must leave, or the shut-down would wait for it forever. Until
// the gate starts again nothing is held, so no buffer slipping in before
// the pads stop can be caught.
GstStateChangeReturn changeState(GstElement* element, GstStateChange transition) {
    TestGate* gate = gateOf(element);
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) {
        g_mutex_lock(&gLock);
        gate->stopping = FALSE;
        g_mutex_unlock(&gLock);
    } else if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) {
        g_mutex_lock(&gLock);
        gate->stopping = TRUE;
        if (gate->holding) {
            gate->holding = FALSE;
            ++gate->held;
        }
        g_cond_broadcast(&gChanged);
        g_mutex_unlock(&gLock);
    }
    return GST_ELEMENT_CLASS(test_gate_parent_class)->change_state(element, transition);
}

void setProperty(GObject* object, guint id, const GValue* value, GParamSpec* param) {
    if (id != kPropHolds) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, param);
        return;
    }
    g_mutex_lock(&gLock);
    gateOf(object)->holds = g_value_get_int(value);
    g_mutex_unlock(&gLock);
}

void getProperty(GObject* object, guint id, GValue* value, GParamSpec* param) {
    if (id != kPropHolds) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, param);
        return;
    }
    g_mutex_lock(&gLock);
    g_value_set_int(value, gateOf(object)->holds);
    g_mutex_unlock(&gLock);
}

void test_gate_class_init(TestGateClass* klass) {
    GObjectClass* object = G_OBJECT_CLASS(klass);
    object->set_property = setProperty;
    object->get_property = getProperty;
    g_object_class_install_property(
        object, kPropHolds,
        g_param_spec_int("holds", "Holds", "How many prerolls to hold", 0, G_MAXINT, 1,
                         GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));
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
    gate->holds = 1;
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
