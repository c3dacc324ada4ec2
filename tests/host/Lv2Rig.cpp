#include "Lv2Rig.h"

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/patch/patch.h>

#include <algorithm>

LV2_URID Lv2Rig::UridMap::map(const char* uri)
{
    const auto [it, added] = ids.emplace(uri, (LV2_URID)names.size() + 1);
    if (added)
        names.emplace_back(uri);
    return it->second;
}

Lv2Rig::Lv2Rig(const std::string& bundlePath, const std::string& pluginUri) : uri(pluginUri)
{
    world = lilv_world_new();
    auto* bundle = lilv_new_file_uri(world, nullptr, (bundlePath + "/").c_str());
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
    auto* uriNode = lilv_new_uri(world, uri.c_str());
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uriNode);
    lilv_node_free(uriNode);
    if (plugin == nullptr)
        return;

    mapFeature = {&urids, [](LV2_URID_Map_Handle h, const char* u) { return static_cast<UridMap*>(h)->map(u); }};
    options[0] = {LV2_OPTIONS_INSTANCE,     0,        urids.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                  urids.map(LV2_ATOM__Int), &maxBlock};
    options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    features[0] = {LV2_URID__map, &mapFeature};
    features[1] = {LV2_OPTIONS__options, options};
    features[2] = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    const LV2_Feature* list[] = {&features[0], &features[1], &features[2], nullptr};

    instance = lilv_plugin_instantiate(plugin, rate, list);
    if (instance == nullptr)
        return;

    const auto n = lilv_plugin_get_num_ports(plugin);
    controls.assign(n, 0.0f);
    audio.assign(n, std::vector<float>(block, 0.0f));
    atoms.assign(n, std::vector<uint64_t>(8192, 0));
    auto* controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
    auto* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
    auto* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);
    for (uint32_t i = 0; i < n; ++i)
    {
        const auto* p = lilv_plugin_get_port_by_index(plugin, i);
        if (lilv_port_is_a(plugin, p, controlClass))
        {
            LilvNode* def = nullptr;
            lilv_port_get_range(plugin, p, &def, nullptr, nullptr);
            controls[i] = def != nullptr ? lilv_node_as_float(def) : 0.0f;
            lilv_node_free(def);
            lilv_instance_connect_port(instance, i, &controls[i]);
        }
        else if (lilv_port_is_a(plugin, p, audioClass))
        {
            lilv_instance_connect_port(instance, i, audio[i].data());
            (lilv_port_is_a(plugin, p, inputClass) ? audioIn : audioOut).push_back(i);
        }
        else
        {
            lilv_instance_connect_port(instance, i, atoms[i].data());
            if (lilv_port_is_a(plugin, p, inputClass))
                atomIn = i;
            else
                atomOut = i;
        }
    }
    lilv_node_free(controlClass);
    lilv_node_free(audioClass);
    lilv_node_free(inputClass);
    clearInput();
    lilv_instance_activate(instance);
}

Lv2Rig::~Lv2Rig()
{
    if (instance != nullptr)
    {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    lilv_world_free(world);
}

bool Lv2Rig::ready() const
{
    return instance != nullptr && audioIn.size() == 2 && audioOut.size() == 2;
}

uint32_t Lv2Rig::port(const char* symbol) const
{
    auto* node = lilv_new_string(world, symbol);
    const auto* p = lilv_plugin_get_port_by_symbol(plugin, node);
    lilv_node_free(node);
    return p != nullptr ? lilv_port_get_index(plugin, p) : UINT32_MAX;
}

void Lv2Rig::sendPatchSet(const char* parameterId, float value)
{
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &mapFeature);
    lv2_atom_forge_set_buffer(&forge, (uint8_t*)atoms[atomIn].data(), atoms[atomIn].size() * sizeof(uint64_t));
    LV2_Atom_Forge_Frame seq;
    lv2_atom_forge_sequence_head(&forge, &seq, 0);
    lv2_atom_forge_frame_time(&forge, 0);
    LV2_Atom_Forge_Frame obj;
    lv2_atom_forge_object(&forge, &obj, 0, urids.map(LV2_PATCH__Set));
    lv2_atom_forge_key(&forge, urids.map(LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, urids.map((uri + ":" + parameterId).c_str()));
    lv2_atom_forge_key(&forge, urids.map(LV2_PATCH__value));
    lv2_atom_forge_float(&forge, value);
    lv2_atom_forge_pop(&forge, &obj);
    lv2_atom_forge_pop(&forge, &seq);
    run(1);
    clearInput();
}

std::pair<float, float> Lv2Rig::gains(int blocks)
{
    for (auto i : audioIn)
        std::fill(audio[i].begin(), audio[i].end(), 0.25f);
    run(blocks);
    return {audio[audioOut[0]].back() / 0.25f, audio[audioOut[1]].back() / 0.25f};
}

void Lv2Rig::run(int blocks)
{
    for (int b = 0; b < blocks; ++b)
    {
        auto* out = reinterpret_cast<LV2_Atom_Sequence*>(atoms[atomOut].data());
        out->atom.type = urids.map(LV2_ATOM__Chunk);
        out->atom.size = (uint32_t)(atoms[atomOut].size() * sizeof(uint64_t) - sizeof(LV2_Atom));
        lilv_instance_run(instance, block);
        readOutput();
        if (b == 0)
            clearInput();
    }
}

void Lv2Rig::connectAudio(const std::vector<float*>& inputs, const std::vector<float*>& outputs)
{
    for (size_t c = 0; c < audioIn.size() && c < inputs.size(); ++c)
        lilv_instance_connect_port(instance, audioIn[c], inputs[c]);
    for (size_t c = 0; c < audioOut.size() && c < outputs.size(); ++c)
        lilv_instance_connect_port(instance, audioOut[c], outputs[c]);
}

std::vector<float> Lv2Rig::announced(const char* parameterId) const
{
    const auto property = uri + ":" + parameterId;
    std::vector<float> values;
    for (const auto& a : announcements)
        if (a.property == property)
            values.push_back(a.value);
    return values;
}

LilvState* Lv2Rig::saveState()
{
    return lilv_state_new_from_instance(plugin, instance, &mapFeature, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, 0, nullptr);
}

void Lv2Rig::restore(LilvState* state)
{
    lilv_state_restore(state, instance, nullptr, nullptr, 0, nullptr);
}

void Lv2Rig::clearInput()
{
    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(atoms[atomIn].data());
    in->atom.type = urids.map(LV2_ATOM__Sequence);
    in->atom.size = sizeof(LV2_Atom_Sequence_Body);
    in->body = {0, 0};
}

// What a property-aware host reads after each run.
void Lv2Rig::readOutput()
{
    const auto* out = reinterpret_cast<const LV2_Atom_Sequence*>(atoms[atomOut].data());
    if (out->atom.type != urids.map(LV2_ATOM__Sequence))
        return;
    const auto objectType = urids.map(LV2_ATOM__Object);
    const auto floatType = urids.map(LV2_ATOM__Float);
    const auto uridType = urids.map(LV2_ATOM__URID);
    const auto set = urids.map(LV2_PATCH__Set);
    // Walked by hand: the header's iteration macros do not compile cleanly as C++.
    for (auto* event = lv2_atom_sequence_begin(&out->body);
         !lv2_atom_sequence_is_end(&out->body, out->atom.size, event); event = lv2_atom_sequence_next(event))
    {
        if (event->body.type != objectType)
            continue;
        const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
        if (object->body.otype != set)
            continue;
        const LV2_Atom* property = nullptr;
        const LV2_Atom* value = nullptr;
        for (auto* p = lv2_atom_object_begin(&object->body);
             !lv2_atom_object_is_end(&object->body, object->atom.size, p); p = lv2_atom_object_next(p))
        {
            if (p->key == urids.map(LV2_PATCH__property))
                property = &p->value;
            else if (p->key == urids.map(LV2_PATCH__value))
                value = &p->value;
        }
        if (property == nullptr || value == nullptr || property->type != uridType || value->type != floatType)
            continue;
        const auto id = reinterpret_cast<const LV2_Atom_URID*>(property)->body;
        if (id == 0 || id > urids.names.size())
            continue;
        announcements.push_back({urids.names[id - 1], reinterpret_cast<const LV2_Atom_Float*>(value)->body});
    }
}
