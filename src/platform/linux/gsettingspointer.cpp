#include "platform/linux/gsettingspointer.h"

// GLib names a struct member "signals", which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <algorithm>

namespace {
// Writes one key: false when the schema or the key is missing, the value is out of the key's
// range, or the key is locked down.
bool writeKey(const QByteArray &schemaId, const char *key, GVariant *value)
{
    g_variant_ref_sink(value);
    bool ok = false;
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, schemaId.constData(), TRUE) : nullptr;
    if (schema && g_settings_schema_has_key(schema, key)) {
        GSettingsSchemaKey *schemaKey = g_settings_schema_get_key(schema, key);
        if (g_variant_is_of_type(value, g_settings_schema_key_get_value_type(schemaKey))
            && g_settings_schema_key_range_check(schemaKey, value)) {
            GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
            ok = g_settings_set_value(settings, key, value);
            g_settings_sync();
            g_object_unref(settings);
        }
        g_settings_schema_key_unref(schemaKey);
    }
    if (schema)
        g_settings_schema_unref(schema);
    g_variant_unref(value);
    return ok;
}
} // namespace

double gnomePointerSpeed(int speed)
{
    speed = std::clamp(speed, 1, 20);
    return speed <= 10 ? (speed - 10) / 9.0 : (speed - 10) / 10.0;
}

GSettingsPointer::GSettingsPointer(const QByteArray &schemaId)
    : m_schemaId(schemaId)
{
}

bool GSettingsPointer::setMouseSpeed(int speed)
{
    return writeKey(m_schemaId, "speed", g_variant_new_double(gnomePointerSpeed(speed)));
}

bool GSettingsPointer::setDoubleClickTime(int milliseconds)
{
    return writeKey(m_schemaId, "double-click", g_variant_new_int32(milliseconds));
}

bool GSettingsPointer::setWheelScrollLines(uint)
{
    return false;
}

PointerSettings &systemPointerSettings()
{
    static GSettingsPointer desktop;
    return desktop;
}
