// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/gsettingspointer.h"

// GLib names a struct member "signals", which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QtGlobal>

#include <algorithm>
#include <dlfcn.h>

namespace {

// gio, and the libraries it pulls in, is loaded at the first write rather than at every start:
// most sessions never change a pointer setting.
struct Gio
{
    bool loaded = false;
    decltype(&g_variant_ref_sink) variant_ref_sink = nullptr;
    decltype(&g_variant_unref) variant_unref = nullptr;
    decltype(&g_variant_is_of_type) variant_is_of_type = nullptr;
    decltype(&g_variant_new_double) variant_new_double = nullptr;
    decltype(&g_variant_new_int32) variant_new_int32 = nullptr;
    decltype(&g_object_unref) object_unref = nullptr;
    decltype(&g_settings_schema_source_get_default) schema_source_get_default = nullptr;
    decltype(&g_settings_schema_source_lookup) schema_source_lookup = nullptr;
    decltype(&g_settings_schema_has_key) schema_has_key = nullptr;
    decltype(&g_settings_schema_get_key) schema_get_key = nullptr;
    decltype(&g_settings_schema_unref) schema_unref = nullptr;
    decltype(&g_settings_schema_key_get_value_type) key_get_value_type = nullptr;
    decltype(&g_settings_schema_key_range_check) key_range_check = nullptr;
    decltype(&g_settings_schema_key_unref) key_unref = nullptr;
    decltype(&g_settings_new_full) settings_new_full = nullptr;
    decltype(&g_settings_set_value) settings_set_value = nullptr;
    decltype(&g_settings_sync) settings_sync = nullptr;
};

template<typename F>
bool resolve(void *library, const char *name, F &function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

// Loaded once and kept; `loaded` is false when the library or any function is missing.
const Gio &gio()
{
    static const Gio library = [] {
        Gio g;
        void *handle = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            qWarning("Pointer settings: %s", dlerror());
            return g;
        }
        g.loaded = resolve(handle, "g_variant_ref_sink", g.variant_ref_sink)
            && resolve(handle, "g_variant_unref", g.variant_unref)
            && resolve(handle, "g_variant_is_of_type", g.variant_is_of_type)
            && resolve(handle, "g_variant_new_double", g.variant_new_double)
            && resolve(handle, "g_variant_new_int32", g.variant_new_int32)
            && resolve(handle, "g_object_unref", g.object_unref)
            && resolve(handle, "g_settings_schema_source_get_default", g.schema_source_get_default)
            && resolve(handle, "g_settings_schema_source_lookup", g.schema_source_lookup)
            && resolve(handle, "g_settings_schema_has_key", g.schema_has_key)
            && resolve(handle, "g_settings_schema_get_key", g.schema_get_key)
            && resolve(handle, "g_settings_schema_unref", g.schema_unref)
            && resolve(handle, "g_settings_schema_key_get_value_type", g.key_get_value_type)
            && resolve(handle, "g_settings_schema_key_range_check", g.key_range_check)
            && resolve(handle, "g_settings_schema_key_unref", g.key_unref)
            && resolve(handle, "g_settings_new_full", g.settings_new_full)
            && resolve(handle, "g_settings_set_value", g.settings_set_value)
            && resolve(handle, "g_settings_sync", g.settings_sync);
        return g;
    }();
    return library;
}

// Writes one key: false when gio, the schema or the key is missing, the value is out of the
// key's range, or the key is locked down.
template<typename MakeValue>
bool writeKey(const QByteArray &schemaId, const char *key, MakeValue makeValue)
{
    const Gio &g = gio();
    if (!g.loaded)
        return false;
    GVariant *value = g.variant_ref_sink(makeValue(g));
    bool ok = false;
    GSettingsSchemaSource *source = g.schema_source_get_default();
    GSettingsSchema *schema = source ? g.schema_source_lookup(source, schemaId.constData(), TRUE) : nullptr;
    if (schema && g.schema_has_key(schema, key)) {
        GSettingsSchemaKey *schemaKey = g.schema_get_key(schema, key);
        if (g.variant_is_of_type(value, g.key_get_value_type(schemaKey)) && g.key_range_check(schemaKey, value)) {
            GSettings *settings = g.settings_new_full(schema, nullptr, nullptr);
            ok = g.settings_set_value(settings, key, value);
            g.settings_sync();
            g.object_unref(settings);
        }
        g.key_unref(schemaKey);
    }
    if (schema)
        g.schema_unref(schema);
    g.variant_unref(value);
    return ok;
}
} // namespace

double libinputPointerSpeed(int speed)
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
    const double value = libinputPointerSpeed(speed);
    return writeKey(m_schemaId, "speed", [&value](const Gio &g) { return g.variant_new_double(value); });
}

bool GSettingsPointer::setDoubleClickTime(int milliseconds)
{
    return writeKey(m_schemaId, "double-click", [&milliseconds](const Gio &g) { return g.variant_new_int32(milliseconds); });
}

bool GSettingsPointer::setWheelScrollLines(uint)
{
    return false;
}
